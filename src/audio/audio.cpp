#include "audio/audio.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "resources/asset_registry.h"

namespace corsavel {

AudioState audio;

namespace {

SilentAudioOutput silentOutput;
AudioOutput* output = &silentOutput;

bool isOrigin(Vec3 p) {
    return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f;
}

void startMusicAt(int32_t position) {
    audio.music.volume = 100;
    output->setMusicVolume(audio.music.module, 100);
    output->playMusic(audio.music.module, position);
}

// A file's bytes handed to the output, then released: the output keeps
// what it decoded.
template <typename Load>
uint32_t loadThroughOutput(const char* path, Load load) {
    int32_t size = 0;
    const uint8_t* data = loadFile(path, &size, false);
    if (data == nullptr) {
        return 0;
    }
    const uint32_t handle = load(data, size);
    releaseAsset(data);
    return handle;
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

void loadSounds() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("Sounds", ec)) {
        const std::string name = entry.path().filename().string();
        if (!endsWithOgg(name)) {
            continue;
        }
        const std::string path = "Sounds/" + name;
        const uint32_t handle = loadThroughOutput(
            path.c_str(), [](const uint8_t* d, int32_t n) { return output->loadSample(d, n); });
        addSample(name.c_str(), handle);
    }
    audio.music.module = loadThroughOutput(
        "music.mo3", [](const uint8_t* d, int32_t n) { return output->loadMusic(d, n); });
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
    output->pause();
}

void resumeAudio() {
    output->resume();
}

void shutdownAudio() {
    output->close();
    audio.ready = false;
}

}  // namespace corsavel
