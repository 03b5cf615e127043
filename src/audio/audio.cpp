#include "audio/audio.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "audio/ogg_decode.h"
#include "platform/file_read.h"

#include "resources/asset_registry.h"

namespace corsavel {

AudioState audio;

namespace {

SilentAudioOutput silentOutput;
using Bytes = std::vector<uint8_t>;
AudioOutput* output = &silentOutput;

bool isOrigin(Vec3 p) {
    return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f;
}

void startMusicAt(int32_t position) {
    audio.music.volume = 100;
    output->setMusicVolume(audio.music.module, 100);
    output->playMusic(audio.music.module, position);
}

// A whole file from the disk, refused when missing or larger than `cap`.
int32_t barBytes(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : static_cast<int32_t>(std::min<uintmax_t>(size, INT32_MAX));
}

// The output sounds only when nothing holds it.
void applyPause() {
    const bool want = audio.windowPaused || audio.gamePaused;
    if (want != audio.outputPaused) {
        audio.outputPaused = want;
        if (want) {
            output->pause();
        } else {
            output->resume();
        }
    }
}

bool endsWithOgg(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".ogg") == 0;
}

}  // namespace

void setAudioOutput(AudioOutput* o) {
    output = o != nullptr ? o : &silentOutput;
}

AudioOutput& audioOutput() {
    return *output;
}

AudioOutput& silentAudioOutput() {
    return silentOutput;
}

void resetAudio() {
    const int32_t effects = audio.effectsVolume;
    const int32_t music = audio.musicVolume;
    audio = AudioState{};
    audio.effectsVolume = effects;
    audio.musicVolume = music;
}

bool initAudio() {
    if (!output->open()) {
        return false;
    }
    audio.ready = true;
    audio.queue = PlayQueue{};
    applyVolumes();
    return true;
}

bool addSample(const char* name, uint32_t handle) {
    SoundBank& bank = audio.bank;
    if (bank.count >= kMaxSamples || !name || std::strlen(name) >= sizeof(bank.entries[0].name)) {
        return false;
    }
    SampleEntry& e = bank.entries[bank.count++];
    std::strcpy(e.name, name);
    e.sample = handle;
    e.cooldown = 0.0f;
    return true;
}

// Samples come straight from the disk, never from the archives. Every file
// advances the loading bar by its size, also those past a full bank; the
// module advances it by its fixed budget.
void loadSounds() {
    std::error_code ec;
    Bytes bytes;
    for (const auto& entry : std::filesystem::directory_iterator("Sounds", ec)) {
        const std::string name = entry.path().filename().string();
        if (!endsWithOgg(name)) {
            continue;
        }
        if (audio.bank.count < kMaxSamples && name.size() < sizeof(SampleEntry::name)) {
            uint32_t handle = 0;
            if (readFileBytes(entry.path(), kMaxSampleFileBytes, bytes)) {
                handle = output->loadSample(bytes.data(), static_cast<int32_t>(bytes.size()));
            }
            addSample(name.c_str(), handle);
        }
        reportLoadProgress(barBytes(entry.path()));
    }
    if (readFileBytes("music.mo3", kMaxMusicFileBytes, bytes)) {
        audio.music.module = output->loadMusic(bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    reportLoadProgress(kMusicLoadBudget);
}

int32_t findSample(const char* name) {
    for (int32_t i = 0; i < audio.bank.count; ++i) {
        if (std::strcmp(audio.bank.entries[i].name, name) == 0) {
            return i;
        }
    }
    return -1;
}

void playSound(const char* name) {
    playSoundEx(name, Vec3{}, 0, kDefaultFrequency);
}

void playSoundEx(const char* name, Vec3 position, uint8_t loop, int32_t frequency) {
    if (!name) {
        return;
    }
    PlayQueue& q = audio.queue;
    for (int32_t i = 0; i < audio.bank.count; ++i) {
        SampleEntry& e = audio.bank.entries[i];
        if (e.cooldown > 0.0f || std::strcmp(e.name, name) != 0) {
            continue;
        }
        // Looping slots are never overwritten; when every slot loops the
        // request is dropped instead of spinning forever.
        int32_t tries = 0;
        while (q.slots[q.cursor].loop == 1 && tries < kPlaySlotCount) {
            q.cursor = (q.cursor + 1) % kPlaySlotCount;
            ++tries;
        }
        if (tries == kPlaySlotCount) {
            return;
        }
        e.cooldown = kSampleCooldownMs;
        PlaySlot& s = q.slots[q.cursor];
        s.state = -1;
        s.loop = loop;
        s.position = position;
        s.sample = e.sample;
        s.frequency = frequency;
        s.channel = 0;
        q.cursor = (q.cursor + 1) % kPlaySlotCount;
    }
}

void volumeFromPosition(Vec3 position, int32_t& volume, int32_t& pan) {
    volume = 100;
    float p = position.x / 400.0f * 100.0f;
    p = p < -100.0f ? -100.0f : (p > 100.0f ? 100.0f : p);
    pan = static_cast<int32_t>(p);
}

void updateAudio(float frameMs) {
    audio.gamePaused = audio.holdRequested;
    audio.holdRequested = false;
    applyPause();
    for (int32_t i = 0; i < audio.bank.count; ++i) {
        SampleEntry& e = audio.bank.entries[i];
        if (e.cooldown > 0.0f) {
            e.cooldown -= frameMs;
        }
    }
    for (PlaySlot& s : audio.queue.slots) {
        if (s.state == -1) {
            int32_t volume = -1;
            int32_t pan = -101;
            if (!isOrigin(s.position)) {
                volumeFromPosition(s.position, volume, pan);
            }
            s.channel = output->playSample(s.sample, s.frequency, volume, pan, s.loop != 0);
            s.state = 1;
            audio.soundsStarted += 1;
        } else if (s.state == 1) {
            const bool active = output->isChannelActive(s.channel);
            s.state = active ? 1 : 0;
            if (active && !isOrigin(s.position)) {
                int32_t volume = 100;
                int32_t pan = 0;
                volumeFromPosition(s.position, volume, pan);
                output->setChannel(s.channel, volume, pan);
            }
        }
    }
    MusicState& m = audio.music;
    if (m.fadeMs > 0.0f) {
        m.fadeMs -= frameMs;
        if (m.fadeMs <= 0.0f) {
            m.fadeMs = 0.0f;
            startMusicAt(m.target);
        } else {
            m.volume = static_cast<int32_t>(std::lround(m.fadeMs / 8.0f));
            output->setMusicVolume(m.module, m.volume);
        }
    }
    output->update(frameMs);
}

void feedMusic() {
    output->update(0.0f);
}

int32_t musicPosition(int32_t number) {
    return (number >= 1 && number <= 8) ? number : 0;
}

void requestMusic(int32_t number) {
    const int32_t p = musicPosition(number);
    if (p == audio.music.target) {
        return;
    }
    audio.music.target = p;
    audio.music.fadeMs = kMusicFadeMs;
}

void switchMusic(int32_t number) {
    const int32_t p = musicPosition(number);
    if (p == audio.music.target) {
        return;
    }
    audio.music.target = p;
    audio.music.fadeMs = 0.0f;
    startMusicAt(p);
}

void applyVolumes() {
    output->setGlobalVolumes(audio.musicVolume, audio.effectsVolume);
}

void pauseAudio() {
    audio.windowPaused = true;
    applyPause();
}

void resumeAudio() {
    audio.windowPaused = false;
    applyPause();
}

void holdAudioThisFrame() {
    audio.holdRequested = true;
}

void shutdownAudio() {
    output->close();
    audio.ready = false;
    audio.windowPaused = audio.gamePaused = audio.outputPaused = false;
}

}  // namespace corsavel
