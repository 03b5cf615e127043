// The harness hears the game through OpenAL Soft's loopback device: after
// every frame it mixes exactly one frame step of audio, so what a script
// measures (and the WAV it records) follows game time, not the wall clock.
//
//   audio record FILE.wav      write everything played from now on
//   audio stop                 finish the WAV
//   audio window               start a new measuring window
//   audio volume music|effects N   set a volume 0..100 as the options page does
//
// With CORSAVEL_AUDIO_WAV=FILE.wav in the environment the whole run is
// recorded from the first frame.
//
// Dump fields: audioRms, audioPeak and audioMusicRms (frames with no effect
// playing) over the window, audioFrames, musicTarget, musicFade,
// musicVolume, effectsVolume, musicPlaying, sourcesPlaying, soundsStarted,
// comboPitchMin and comboPitchMax (pitch ratios of "combo.ogg" started in
// the window).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "audio/openal_output.h"
#include "harness.h"

namespace corsavel::harness {

namespace {

constexpr int kMaxFrameSamples = kOutputRate;  // one second of stereo frames

struct Window {
    double sumSquares = 0.0;
    double musicSumSquares = 0.0;
    uint64_t samples = 0;
    uint64_t musicSamples = 0;
    int peak = 0;
    int frames = 0;
    float comboMin = 0.0f;
    float comboMax = 0.0f;
};

struct Capture {
    FILE* wav = nullptr;
    uint32_t dataBytes = 0;
    double carry = 0.0;  // fraction of a sample frame left from the last step
    std::vector<int16_t> buffer = std::vector<int16_t>(static_cast<size_t>(kMaxFrameSamples) * 2);
    Window window;
    uint32_t lastStarted = 0;
    ~Capture();
};

Capture capture;

void put32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// A 16-bit stereo 44100 Hz RIFF header for `dataBytes` of samples.
void writeWavHeader(FILE* f, uint32_t dataBytes) {
    unsigned char h[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                           'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   2,   0};
    put32(h + 4, 36 + dataBytes);
    put32(h + 24, kOutputRate);
    put32(h + 28, kOutputRate * 4);
    h[32] = 4;
    h[34] = 16;
    h[36] = 'd';
    h[37] = 'a';
    h[38] = 't';
    h[39] = 'a';
    put32(h + 40, dataBytes);
    std::fseek(f, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, f);
    std::fseek(f, 0, SEEK_END);
}

void finishWav() {
    if (capture.wav != nullptr) {
        writeWavHeader(capture.wav, capture.dataBytes);
        std::fclose(capture.wav);
        capture.wav = nullptr;
    }
}

Capture::~Capture() {
    finishWav();
}

float comboPitch() {
    const int32_t index = findSample("combo.ogg");
    return index < 0 ? 0.0f : deviceAudioOutput().lastPitch(audio.bank.entries[index].sample);
}

// Mixes one frame step, measures it and appends it to the WAV.
void hearFrame() {
    OpenAlOutput& out = deviceAudioOutput();
    const double exact = static_cast<double>(frameStep()) * kOutputRate / 1000.0 + capture.carry;
    int frames = static_cast<int>(exact);
    capture.carry = exact - frames;
    frames = frames > kMaxFrameSamples ? kMaxFrameSamples : frames;
    // Sources that play before the mix are heard in it, also one that ends
    // half way through.
    const bool effects = out.playingSources() > 0;
    out.renderCapture(capture.buffer.data(), frames);
    Window& w = capture.window;
    for (int i = 0; i < frames * 2; ++i) {
        const double v = capture.buffer[static_cast<size_t>(i)];
        w.sumSquares += v * v;
        if (!effects) {
            w.musicSumSquares += v * v;
        }
        const int a = std::abs(static_cast<int>(capture.buffer[static_cast<size_t>(i)]));
        w.peak = a > w.peak ? a : w.peak;
    }
    w.samples += static_cast<uint64_t>(frames) * 2;
    w.musicSamples += effects ? 0 : static_cast<uint64_t>(frames) * 2;
    w.frames += 1;
    if (audio.soundsStarted != capture.lastStarted) {
        capture.lastStarted = audio.soundsStarted;
        const float p = comboPitch();
        if (p > 0.0f) {
            w.comboMin = (w.comboMin == 0.0f || p < w.comboMin) ? p : w.comboMin;
            w.comboMax = p > w.comboMax ? p : w.comboMax;
        }
    }
    if (capture.wav != nullptr) {
        std::fwrite(capture.buffer.data(), 4, static_cast<size_t>(frames), capture.wav);
        capture.dataBytes += static_cast<uint32_t>(frames) * 4;
    }
}

bool startRecording(const std::string& path, std::string* error) {
    finishWav();
    capture.wav = std::fopen(path.c_str(), "wb");
    if (capture.wav == nullptr) {
        *error = "cannot write " + path;
        return false;
    }
    capture.dataBytes = 0;
    writeWavHeader(capture.wav, 0);
    return true;
}

void useLoopback() {
    deviceAudioOutput().setCaptureMode(true);
    const char* wav = std::getenv("CORSAVEL_AUDIO_WAV");
    std::string error;
    if (wav != nullptr && *wav != '\0' && !startRecording(outputPath(wav), &error)) {
        std::fprintf(stderr, "corsavel-harness: %s\n", error.c_str());
    }
}

bool parseVolume(const std::string& s, int* out) {
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || v < 0 || v > 100) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

bool audioCommand(const HarnessArgs& args, std::string* error) {
    const std::string verb = args.empty() ? "" : args[0];
    if (verb == "record" && args.size() == 2) {
        return startRecording(outputPath(args[1]), error);
    }
    if (verb == "stop" && args.size() == 1) {
        finishWav();
        return true;
    }
    if (verb == "window" && args.size() == 1) {
        capture.window = Window{};
        return true;
    }
    int volume = 0;
    if (verb == "volume" && args.size() == 3 && parseVolume(args[2], &volume) &&
        (args[1] == "music" || args[1] == "effects")) {
        (args[1] == "music" ? audio.musicVolume : audio.effectsVolume) = volume;
        applyVolumes();
        return true;
    }
    *error = "usage: audio record FILE | stop | window | volume music|effects 0..100";
    return false;
}

double windowRms(double sum, uint64_t n) {
    return n == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(n)) / 32768.0;
}

HarnessValue num(double v) {
    return HarnessValue::number(v);
}

const bool registered =
    registerSetupHook(useLoopback) && registerFrameObserver(hearFrame) &&
    registerHarnessCommand("audio", audioCommand) &&
    registerDumpField(
        "audioRms",
        [] { return num(windowRms(capture.window.sumSquares, capture.window.samples)); }) &&
    registerDumpField(
        "audioMusicRms",
        [] {
            return num(windowRms(capture.window.musicSumSquares, capture.window.musicSamples));
        }) &&
    registerDumpField("audioPeak", [] { return num(capture.window.peak / 32768.0); }) &&
    registerDumpField("audioFrames", [] { return num(capture.window.frames); }) &&
    registerDumpField("musicTarget", [] { return num(audio.music.target); }) &&
    registerDumpField("musicFade", [] { return num(audio.music.volume); }) &&
    registerDumpField("musicVolume", [] { return num(audio.musicVolume); }) &&
    registerDumpField("effectsVolume", [] { return num(audio.effectsVolume); }) &&
    registerDumpField("musicPlaying", [] { return num(deviceAudioOutput().musicPlaying()); }) &&
    registerDumpField("sourcesPlaying", [] { return num(deviceAudioOutput().playingSources()); }) &&
    registerDumpField("soundsStarted", [] { return num(audio.soundsStarted); }) &&
    registerDumpField("comboPitchMin", [] { return num(capture.window.comboMin); }) &&
    registerDumpField("comboPitchMax", [] { return num(capture.window.comboMax); });

}  // namespace

}  // namespace corsavel::harness
