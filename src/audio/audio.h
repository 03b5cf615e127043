#pragma once

#include <cstdint>

#include "audio/audio_output.h"
#include "platform/math_types.h"

namespace corsavel {

// Every sample of the "Sounds" folder is kept by file name; requests go into a
// ring of play slots that the per-frame update turns into playing channels.
constexpr int kMaxSamples = 256;
constexpr int kPlaySlotCount = 256;
constexpr float kSampleCooldownMs = 5.0f;
constexpr int kDefaultFrequency = 44100;
constexpr float kMusicFadeMs = 800.0f;
// The loading bar budgets this many bytes for the music module, whatever its
// real size.
constexpr int32_t kMusicLoadBudget = 1104189;
constexpr int32_t kMaxMusicFileBytes = 16 * 1024 * 1024;

struct SampleEntry {
    uint32_t sample = 0;  // device handle, 0 when loading failed
    char name[32] = {};
    float cooldown = 0.0f;  // ms of game time until the sample may be queued again
};

struct SoundBank {
    SampleEntry entries[kMaxSamples];
    int32_t count = 0;
};

// state: -1 requested, 1 playing, anything else free.
struct PlaySlot {
    int32_t state = 0;
    uint32_t channel = 0;
    uint32_t sample = 0;
    Vec3 position;
    uint8_t loop = 0;
    int32_t frequency = 0;
};

struct PlayQueue {
    PlaySlot slots[kPlaySlotCount];
    int32_t cursor = 0;
};

struct MusicState {
    uint32_t module = 0;
    int32_t target = -1;  // module position asked for, -1 before the first request
    float fadeMs = 0.0f;  // time left of a pending fade-out, 0 when none
    int32_t volume = 100;
};

struct AudioState {
    SoundBank bank;
    PlayQueue queue;
    MusicState music;
    int32_t effectsVolume = 100;
    int32_t musicVolume = 100;
    bool ready = false;          // a device was opened
    uint32_t soundsStarted = 0;  // playbacks handed to the output since start
    // Why the output is paused: the window (inactive or minimised) and the
    // gameplay pause; it sounds only when neither holds.
    bool windowPaused = false;
    bool gamePaused = false;
    bool holdRequested = false;  // set by holdAudioThisFrame, read by updateAudio
    bool outputPaused = false;   // what the output was last told
};

extern AudioState audio;

// Empties the bank, the queue and the music state (tests and start-up).
void resetAudio();
// Opens the installed output; false leaves the game silent.
bool initAudio();
// Registers one sample under its file name; false when the bank is full or the
// name does not fit.
bool addSample(const char* name, uint32_t handle);
// Loads every "*.ogg" of the "Sounds" folder and "music.mo3".
void loadSounds();
int32_t findSample(const char* name);

void playSound(const char* name);
void playSoundEx(const char* name, Vec3 position, uint8_t loop, int32_t frequency);
void updateAudio(float frameMs);
// Keeps the streamed music fed; the frame loop calls it every frame, also on
// screens that run no audio update (the intro, the end of the game).
void feedMusic();

// Music numbers 1..8 select that module position, anything else position 0.
int32_t musicPosition(int32_t number);
void requestMusic(int32_t number);
void switchMusic(int32_t number);

void applyVolumes();
void pauseAudio();
void resumeAudio();
// The gameplay pause silences everything for the frame in which it is asked
// for; the next updateAudio without it lets the sound go on.
void holdAudioThisFrame();
void shutdownAudio();

// Volume and pan of a positional source; no caller uses a position yet, so the
// source plays at full volume, panned by its x in the 800-unit scene.
void volumeFromPosition(Vec3 position, int32_t& volume, int32_t& pan);

}  // namespace corsavel
