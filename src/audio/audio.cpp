#include "audio/audio.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace corsavel {

AudioState audio;

namespace {

const AudioDevice* device = nullptr;

bool isOrigin(Vec3 p) {
    return p.x == 0.0f && p.y == 0.0f && p.z == 0.0f;
}

void startMusicAt(int32_t position) {
    audio.music.volume = 100;
    if (device && device->setMusicVolume) {
        device->setMusicVolume(audio.music.module, 100);
    }
    if (device && device->playMusic) {
        device->playMusic(audio.music.module, position);
    }
}

bool endsWithOgg(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".ogg") == 0;
}

}  // namespace

void setAudioDevice(const AudioDevice* d) {
    device = d;
}

void resetAudio() {
    const int32_t effects = audio.effectsVolume;
    const int32_t music = audio.musicVolume;
    audio = AudioState{};
    audio.effectsVolume = effects;
    audio.musicVolume = music;
}

bool initAudio() {
    if (!device || !device->open || !device->open()) {
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
        uint32_t handle = 0;
        if (device && device->loadSample) {
            handle = device->loadSample(path.c_str());
        }
        addSample(name.c_str(), handle);
    }
    if (device && device->loadMusic) {
        audio.music.module = device->loadMusic("music.mo3");
    }
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
            s.channel = (device && device->playSample)
                            ? device->playSample(s.sample, s.frequency, volume, pan, s.loop != 0)
                            : 0;
            s.state = 1;
        } else if (s.state == 1) {
            const bool active =
                device && device->isChannelActive && device->isChannelActive(s.channel);
            s.state = active ? 1 : 0;
            if (active && !isOrigin(s.position) && device->setChannel) {
                int32_t volume = 100;
                int32_t pan = 0;
                volumeFromPosition(s.position, volume, pan);
                device->setChannel(s.channel, volume, pan);
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
            if (device && device->setMusicVolume) {
                device->setMusicVolume(m.module, m.volume);
            }
        }
    }
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
    if (device && device->setGlobalVolumes) {
        device->setGlobalVolumes(audio.musicVolume, audio.effectsVolume);
    }
}

void pauseAudio() {
    if (device && device->pause) {
        device->pause();
    }
}

void resumeAudio() {
    if (device && device->resume) {
        device->resume();
    }
}

void shutdownAudio() {
    if (device && device->close) {
        device->close();
    }
    audio.ready = false;
}

}  // namespace corsavel
