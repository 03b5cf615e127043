#pragma once

#include <cstdint>
#include <memory>

#include "audio/audio_output.h"

namespace corsavel {

constexpr int kEffectSources = 64;
constexpr int kOutputRate = 44100;
// Music is rendered ahead in this many buffers of this many frames: about
// 370 ms queued, so a 100 ms frame hitch never starves the stream.
constexpr int kMusicBuffers = 4;
constexpr int kMusicBufferFrames = 4096;

struct OpenAlState;

// The audio output on OpenAL Soft: one buffer per decoded sample, a pool of
// sources for the playbacks, and one streamed source for the music that
// libopenmpt renders on the game thread in update().
class OpenAlOutput : public AudioOutput {
public:
    OpenAlOutput();
    ~OpenAlOutput() override;

    // Opens the default device, or with capture mode a loopback device whose
    // mix the caller pulls with renderCapture (game time instead of wall time).
    bool open() override;
    void close() override;
    void setCaptureMode(bool capture) { captureMode_ = capture; }
    bool captureMode() const { return captureMode_; }
    // Mixes `frames` stereo frames at 44100 Hz into `out` (16-bit interleaved);
    // silence when no capture device is open.
    void renderCapture(int16_t* out, int frames);

    uint32_t loadSample(const uint8_t* data, int32_t size) override;
    uint32_t playSample(uint32_t sample, int32_t frequency, int32_t volume, int32_t pan,
                        bool loop) override;
    bool isChannelActive(uint32_t channel) override;
    void setChannel(uint32_t channel, int32_t volume, int32_t pan) override;

    uint32_t loadMusic(const uint8_t* data, int32_t size) override;
    void playMusic(uint32_t module, int32_t position) override;
    void setMusicVolume(uint32_t module, int32_t volume) override;

    void setGlobalVolumes(int32_t music, int32_t effects) override;
    void update(float frameMs) override;
    void pause() override;
    void resume() override;

    // What is playing now, for the harness and tests.
    int playingSources() const;
    bool musicPlaying() const;
    // Pitch and gain given to the most recent playback of `sample`, 0 if none.
    float lastPitch(uint32_t sample) const;
    bool isOpen() const;

private:
    std::unique_ptr<OpenAlState> state_;
    bool captureMode_ = false;
};

// The game's device output, installed by the start-up load when nothing
// else (a test's output) was installed first.
OpenAlOutput& deviceAudioOutput();
void installDeviceAudioOutput();

}  // namespace corsavel
