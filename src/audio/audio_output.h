#pragma once

#include <cstdint>

namespace corsavel {

// The narrow seam under the sound bank, the play queue and the music: the
// output that really sounds (the audio device) or one that keeps silent.
// Handles are nonzero; 0 means none. Volumes are 0..100, pan -100..100;
// a volume of -1 and a pan of -101 mean the sample's own.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Opens the device; false leaves the game silent.
    virtual bool open() = 0;
    virtual void close() = 0;

    // A sample from the bytes of its file, decoded once; 0 when it is refused.
    virtual uint32_t loadSample(const uint8_t* data, int32_t size) = 0;
    // Starts a sample at `frequency` Hz (its own rate plays it unchanged);
    // returns the channel, 0 when nothing plays.
    virtual uint32_t playSample(uint32_t sample, int32_t frequency, int32_t volume, int32_t pan,
                                bool loop) = 0;
    virtual bool isChannelActive(uint32_t channel) = 0;
    virtual void setChannel(uint32_t channel, int32_t volume, int32_t pan) = 0;

    // The music module from the bytes of its file; 0 when it is refused.
    virtual uint32_t loadMusic(const uint8_t* data, int32_t size) = 0;
    // Plays the module from an order position, looping that tune.
    virtual void playMusic(uint32_t module, int32_t position) = 0;
    virtual void setMusicVolume(uint32_t module, int32_t volume) = 0;

    // The settings' music and effects volumes over everything.
    virtual void setGlobalVolumes(int32_t music, int32_t effects) = 0;
    // Once per frame: keeps streamed music fed.
    virtual void update(float) {}
    // All output stops and resumes with the window.
    virtual void pause() = 0;
    virtual void resume() = 0;
};

// An output with no device: it opens, plays nothing and keeps nothing. The
// audio layer stands on one until a real output is installed; tests derive
// from it to watch the calls they care about.
class SilentAudioOutput : public AudioOutput {
public:
    bool open() override { return true; }
    void close() override {}
    uint32_t loadSample(const uint8_t*, int32_t) override { return 0; }
    uint32_t playSample(uint32_t, int32_t, int32_t, int32_t, bool) override { return 0; }
    bool isChannelActive(uint32_t) override { return false; }
    void setChannel(uint32_t, int32_t, int32_t) override {}
    uint32_t loadMusic(const uint8_t*, int32_t) override { return 0; }
    void playMusic(uint32_t, int32_t) override {}
    void setMusicVolume(uint32_t, int32_t) override {}
    void setGlobalVolumes(int32_t, int32_t) override {}
    void pause() override {}
    void resume() override {}
};

// Installs the output the audio layer plays through; null restores the
// silent one.
void setAudioOutput(AudioOutput* output);
AudioOutput& audioOutput();
// The output that is installed when no other is.
AudioOutput& silentAudioOutput();

}  // namespace corsavel
