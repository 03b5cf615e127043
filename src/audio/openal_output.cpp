#include "audio/openal_output.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <libopenmpt/libopenmpt.hpp>
#include <ostream>
#include <streambuf>

#include "audio/audio.h"
#include "audio/ogg_decode.h"

namespace corsavel {

namespace {

// libopenmpt reports load warnings to a stream; the game has no console.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};
NullBuffer nullBuffer;
std::ostream nullLog(&nullBuffer);

struct SampleSlot {
    ALuint buffer = 0;
    int32_t rate = 0;
    float lastPitch = 0.0f;
};

struct Voice {
    ALuint source = 0;
    uint32_t serial = 0;     // changes with every playback, so old handles go stale
    uint32_t startedAt = 0;  // order of starts, to reuse the oldest voice
    int32_t volume = -1;     // the playback's own volume, -1 full
    bool pausedByUs = false;
};

constexpr int kCaptureChunkFrames = 2048;

float clampPitch(float p) {
    return p < 0.05f ? 0.05f : (p > 8.0f ? 8.0f : p);
}

}  // namespace

struct OpenAlState {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    bool loopback = false;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
    LPALCDEVICEPAUSESOFT devicePause = nullptr;
    LPALCDEVICERESUMESOFT deviceResume = nullptr;

    SampleSlot samples[kMaxSamples];
    int32_t sampleCount = 0;
    Voice voices[kEffectSources];
    uint32_t startCounter = 0;

    ALuint musicSource = 0;
    ALuint musicBuffers[kMusicBuffers] = {};
    std::unique_ptr<openmpt::module> module;
    bool musicOn = false;
    bool musicPausedByUs = false;
    int16_t renderBuffer[kMusicBufferFrames * 2] = {};
    float captureBuffer[kCaptureChunkFrames * 2] = {};

    int32_t musicVolume = 100;
    int32_t effectsVolume = 100;
    int32_t fadeVolume = 100;
    bool paused = false;
};

namespace {

// Headroom under full volume, so that a burst of effects over the music
// rarely reaches OpenAL's output limiter.
constexpr float kEffectsHeadroom = 0.6f;
constexpr float kMusicHeadroom = 0.8f;

float effectGain(const OpenAlState& s, int32_t volume) {
    const float own = volume < 0 ? 1.0f : static_cast<float>(volume) / 100.0f;
    return kEffectsHeadroom * static_cast<float>(s.effectsVolume) / 100.0f * own;
}

void applyMusicGain(OpenAlState& s) {
    if (s.musicSource != 0) {
        const float gain = kMusicHeadroom * static_cast<float>(s.musicVolume) / 100.0f *
                           static_cast<float>(s.fadeVolume) / 100.0f;
        alSourcef(s.musicSource, AL_GAIN, gain);
    }
}

// Pan -100..100 as a position on a unit circle in front of the listener;
// -101 (the sample's own) is the centre.
void applyPan(ALuint source, int32_t pan) {
    const float x = (pan < -100 || pan > 100) ? 0.0f : static_cast<float>(pan) / 100.0f;
    alSource3f(source, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
}

ALint sourceState(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

// Renders one buffer of music; a finished module gives silence.
void fillMusicBuffer(OpenAlState& s, ALuint buffer) {
    size_t frames = 0;
    if (s.module) {
        frames = s.module->read_interleaved_stereo(kOutputRate, kMusicBufferFrames, s.renderBuffer);
    }
    if (frames < static_cast<size_t>(kMusicBufferFrames)) {
        std::memset(s.renderBuffer + frames * 2, 0, (kMusicBufferFrames - frames) * 4);
    }
    alBufferData(buffer, AL_FORMAT_STEREO16, s.renderBuffer, kMusicBufferFrames * 4, kOutputRate);
}

void stopMusicSource(OpenAlState& s) {
    alSourceStop(s.musicSource);
    alSourcei(s.musicSource, AL_BUFFER, 0);
}

int voiceIndex(uint32_t channel) {
    const int index = static_cast<int>(channel & 0xFFu) - 1;
    return (index >= 0 && index < kEffectSources) ? index : -1;
}

bool voiceOwns(const OpenAlState& s, uint32_t channel) {
    const int i = voiceIndex(channel);
    return i >= 0 && s.voices[i].serial == (channel >> 8);
}

// A voice that has finished, or else the one started longest ago.
int pickVoice(const OpenAlState& s) {
    int oldest = 0;
    for (int i = 0; i < kEffectSources; ++i) {
        const ALint st = sourceState(s.voices[i].source);
        if (st == AL_STOPPED || st == AL_INITIAL) {
            return i;
        }
        if (s.voices[i].startedAt < s.voices[oldest].startedAt) {
            oldest = i;
        }
    }
    return oldest;
}

}  // namespace

OpenAlOutput::OpenAlOutput() : state_(std::make_unique<OpenAlState>()) {}

OpenAlOutput::~OpenAlOutput() {
    close();
}

bool OpenAlOutput::isOpen() const {
    return state_->context != nullptr;
}

bool OpenAlOutput::open() {
    if (isOpen()) {
        return true;
    }
    OpenAlState& s = *state_;
    if (captureMode_) {
        auto loopbackOpen = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
            alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
        s.renderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
            alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
        if (loopbackOpen == nullptr || s.renderSamples == nullptr) {
            return false;
        }
        s.device = loopbackOpen(nullptr);
        s.loopback = true;
    } else {
        // No audio device is a normal way to run: OpenAL's own error lines
        // stay quiet unless the player asked for them.
        setenv("ALSOFT_LOGLEVEL", "0", 0);
        s.device = alcOpenDevice(nullptr);
        s.loopback = false;
    }
    if (s.device == nullptr) {
        return false;
    }
    // The capture mixes to float, so no dither noise is added to silence.
    const ALCint loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                         ALC_STEREO_SOFT,
                                         ALC_FORMAT_TYPE_SOFT,
                                         ALC_FLOAT_SOFT,
                                         ALC_FREQUENCY,
                                         kOutputRate,
                                         0};
    const ALCint deviceAttributes[] = {ALC_FREQUENCY, kOutputRate, 0};
    s.context = alcCreateContext(s.device, s.loopback ? loopbackAttributes : deviceAttributes);
    if (s.context == nullptr || alcMakeContextCurrent(s.context) == ALC_FALSE) {
        if (s.context != nullptr) {
            alcDestroyContext(s.context);
            s.context = nullptr;
        }
        alcCloseDevice(s.device);
        s.device = nullptr;
        return false;
    }
    if (!s.loopback && alcIsExtensionPresent(s.device, "ALC_SOFT_pause_device")) {
        s.devicePause = reinterpret_cast<LPALCDEVICEPAUSESOFT>(
            alcGetProcAddress(s.device, "alcDevicePauseSOFT"));
        s.deviceResume = reinterpret_cast<LPALCDEVICERESUMESOFT>(
            alcGetProcAddress(s.device, "alcDeviceResumeSOFT"));
    }
    for (Voice& v : s.voices) {
        alGenSources(1, &v.source);
        alSourcei(v.source, AL_SOURCE_RELATIVE, AL_TRUE);
    }
    alGenSources(1, &s.musicSource);
    alSourcei(s.musicSource, AL_SOURCE_RELATIVE, AL_TRUE);
    alGenBuffers(kMusicBuffers, s.musicBuffers);
    applyMusicGain(s);
    return alGetError() == AL_NO_ERROR;
}

void OpenAlOutput::close() {
    OpenAlState& s = *state_;
    if (s.context != nullptr) {
        for (Voice& v : s.voices) {
            alSourceStop(v.source);
            alDeleteSources(1, &v.source);
        }
        stopMusicSource(s);
        alDeleteSources(1, &s.musicSource);
        alDeleteBuffers(kMusicBuffers, s.musicBuffers);
        for (int32_t i = 0; i < s.sampleCount; ++i) {
            if (s.samples[i].buffer != 0) {
                alDeleteBuffers(1, &s.samples[i].buffer);
            }
        }
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(s.context);
        alcCloseDevice(s.device);
    }
    const bool capture = captureMode_;
    state_ = std::make_unique<OpenAlState>();
    captureMode_ = capture;
}

void OpenAlOutput::renderCapture(int16_t* out, int frames) {
    OpenAlState& s = *state_;
    if (!s.loopback || s.context == nullptr) {
        if (frames > 0) {
            std::memset(out, 0, static_cast<size_t>(frames) * 4);
        }
        return;
    }
    while (frames > 0) {
        const int n = frames < kCaptureChunkFrames ? frames : kCaptureChunkFrames;
        s.renderSamples(s.device, s.captureBuffer, n);
        for (int i = 0; i < n * 2; ++i) {
            const float v = s.captureBuffer[i] * 32767.0f;
            out[i] =
                static_cast<int16_t>(v > 32767.0f ? 32767.0f : (v < -32768.0f ? -32768.0f : v));
        }
        out += n * 2;
        frames -= n;
    }
}

uint32_t OpenAlOutput::loadSample(const uint8_t* data, int32_t size) {
    OpenAlState& s = *state_;
    if (!isOpen() || size <= 0 || s.sampleCount >= kMaxSamples) {
        return 0;
    }
    DecodedSample decoded;
    if (!decodeOgg(data, static_cast<size_t>(size), decoded)) {
        return 0;
    }
    ALuint buffer = 0;
    alGetError();
    alGenBuffers(1, &buffer);
    alBufferData(buffer, decoded.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16,
                 decoded.pcm.data(), static_cast<ALsizei>(decoded.pcm.size() * 2), decoded.rate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    SampleSlot& slot = s.samples[s.sampleCount++];
    slot.buffer = buffer;
    slot.rate = decoded.rate;
    return static_cast<uint32_t>(s.sampleCount);
}

uint32_t OpenAlOutput::playSample(uint32_t sample, int32_t frequency, int32_t volume, int32_t pan,
                                  bool loop) {
    OpenAlState& s = *state_;
    if (!isOpen() || s.paused || sample == 0 || sample > static_cast<uint32_t>(s.sampleCount)) {
        return 0;
    }
    SampleSlot& slot = s.samples[sample - 1];
    // A frequency of 0 or less plays the sample at its own rate.
    const float pitch =
        clampPitch(frequency > 0 ? static_cast<float>(frequency) / slot.rate : 1.0f);
    slot.lastPitch = pitch;
    const int i = pickVoice(s);
    Voice& v = s.voices[i];
    alSourceStop(v.source);
    alSourcei(v.source, AL_BUFFER, static_cast<ALint>(slot.buffer));
    alSourcef(v.source, AL_PITCH, pitch);
    alSourcei(v.source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    v.volume = volume;
    alSourcef(v.source, AL_GAIN, effectGain(s, volume));
    applyPan(v.source, pan);
    alSourcePlay(v.source);
    v.serial = (v.serial + 1) & 0xFFFFFFu;
    v.startedAt = ++s.startCounter;
    v.pausedByUs = false;
    return (v.serial << 8) | static_cast<uint32_t>(i + 1);
}

bool OpenAlOutput::isChannelActive(uint32_t channel) {
    const OpenAlState& s = *state_;
    if (!isOpen() || !voiceOwns(s, channel)) {
        return false;
    }
    const ALint st = sourceState(s.voices[voiceIndex(channel)].source);
    return st == AL_PLAYING || st == AL_PAUSED;
}

void OpenAlOutput::setChannel(uint32_t channel, int32_t volume, int32_t pan) {
    OpenAlState& s = *state_;
    if (!isOpen() || !voiceOwns(s, channel)) {
        return;
    }
    Voice& v = s.voices[voiceIndex(channel)];
    v.volume = volume;
    alSourcef(v.source, AL_GAIN, effectGain(s, volume));
    applyPan(v.source, pan);
}

uint32_t OpenAlOutput::loadMusic(const uint8_t* data, int32_t size) {
    OpenAlState& s = *state_;
    if (!isOpen() || data == nullptr || size <= 0) {
        return 0;
    }
    try {
        s.module = std::make_unique<openmpt::module>(data, static_cast<std::size_t>(size), nullLog);
        s.module->set_repeat_count(-1);
    } catch (...) {
        s.module.reset();
        return 0;
    }
    return 1;
}

void OpenAlOutput::playMusic(uint32_t module, int32_t position) {
    OpenAlState& s = *state_;
    if (!isOpen() || module != 1 || !s.module) {
        return;
    }
    const int32_t orders = s.module->get_num_orders();
    if (position < 0 || position >= orders) {
        return;
    }
    stopMusicSource(s);
    s.module->set_position_order_row(position, 0);
    for (ALuint buffer : s.musicBuffers) {
        fillMusicBuffer(s, buffer);
    }
    alSourceQueueBuffers(s.musicSource, kMusicBuffers, s.musicBuffers);
    s.musicOn = true;
    if (s.paused) {
        s.musicPausedByUs = true;
    } else {
        alSourcePlay(s.musicSource);
    }
}

void OpenAlOutput::setMusicVolume(uint32_t, int32_t volume) {
    OpenAlState& s = *state_;
    s.fadeVolume = volume < 0 ? 0 : (volume > 100 ? 100 : volume);
    if (isOpen()) {
        applyMusicGain(s);
    }
}

void OpenAlOutput::setGlobalVolumes(int32_t music, int32_t effects) {
    OpenAlState& s = *state_;
    s.musicVolume = music < 0 ? 0 : (music > 100 ? 100 : music);
    s.effectsVolume = effects < 0 ? 0 : (effects > 100 ? 100 : effects);
    if (!isOpen()) {
        return;
    }
    applyMusicGain(s);
    for (const Voice& v : s.voices) {
        alSourcef(v.source, AL_GAIN, effectGain(s, v.volume));
    }
}

// Refills every music buffer the mixer has finished with; a stream that ran
// dry (a long stall) is restarted.
void OpenAlOutput::update(float) {
    OpenAlState& s = *state_;
    if (!isOpen() || !s.musicOn || s.paused) {
        return;
    }
    ALint processed = 0;
    alGetSourcei(s.musicSource, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(s.musicSource, 1, &buffer);
        fillMusicBuffer(s, buffer);
        alSourceQueueBuffers(s.musicSource, 1, &buffer);
    }
    if (sourceState(s.musicSource) != AL_PLAYING) {
        alSourcePlay(s.musicSource);
    }
}

// Every playing source is paused and remembered; on a real device the mixer
// stops too.
void OpenAlOutput::pause() {
    OpenAlState& s = *state_;
    if (!isOpen() || s.paused) {
        return;
    }
    s.paused = true;
    for (Voice& v : s.voices) {
        v.pausedByUs = sourceState(v.source) == AL_PLAYING;
        if (v.pausedByUs) {
            alSourcePause(v.source);
        }
    }
    s.musicPausedByUs = s.musicOn && sourceState(s.musicSource) == AL_PLAYING;
    if (s.musicPausedByUs) {
        alSourcePause(s.musicSource);
    }
    if (s.devicePause != nullptr) {
        s.devicePause(s.device);
    }
}

void OpenAlOutput::resume() {
    OpenAlState& s = *state_;
    if (!isOpen() || !s.paused) {
        return;
    }
    s.paused = false;
    if (s.deviceResume != nullptr) {
        s.deviceResume(s.device);
    }
    for (Voice& v : s.voices) {
        if (v.pausedByUs) {
            alSourcePlay(v.source);
            v.pausedByUs = false;
        }
    }
    if (s.musicPausedByUs) {
        alSourcePlay(s.musicSource);
        s.musicPausedByUs = false;
    }
}

int OpenAlOutput::playingSources() const {
    const OpenAlState& s = *state_;
    if (!isOpen()) {
        return 0;
    }
    int count = 0;
    for (const Voice& v : s.voices) {
        count += sourceState(v.source) == AL_PLAYING ? 1 : 0;
    }
    return count;
}

bool OpenAlOutput::musicPlaying() const {
    const OpenAlState& s = *state_;
    return isOpen() && s.musicOn && sourceState(s.musicSource) == AL_PLAYING;
}

float OpenAlOutput::lastPitch(uint32_t sample) const {
    const OpenAlState& s = *state_;
    if (sample == 0 || sample > static_cast<uint32_t>(s.sampleCount)) {
        return 0.0f;
    }
    return s.samples[sample - 1].lastPitch;
}

OpenAlOutput& deviceAudioOutput() {
    static OpenAlOutput device;
    return device;
}

void installDeviceAudioOutput() {
    if (&audioOutput() == &silentAudioOutput()) {
        setAudioOutput(&deviceAudioOutput());
    }
}

}  // namespace corsavel
