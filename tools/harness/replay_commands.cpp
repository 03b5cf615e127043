// Commands a recorded session is written in (see src/app/session_record.h),
// and the window's size fields.
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/session_record.h"
#include "harness.h"
#include "platform/frame_state.h"
#include "platform/pointer.h"
#include "platform/window.h"

namespace corsavel::harness {

namespace {

// A whole decimal number in 0..limit.
bool parseWhole(const std::string& text, long limit, long* out) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > limit) {
        return false;
    }
    *out = value;
    return true;
}

bool parseFinite(const std::string& text, float* out) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    float value = std::strtof(text.c_str(), &end);
    if (errno != 0 || end == nullptr || *end != '\0' || !(value == value) ||
        value > 1.0e6f || value < -1.0e6f) {
        return false;
    }
    *out = value;
    return true;
}

// The first command of a script file, split into words; empty when none.
HarnessArgs firstCommand(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        HarnessArgs result;
        std::string word;
        while (words >> word) {
            result.push_back(word);
        }
        if (!result.empty()) {
            return result;
        }
    }
    return {};
}

// seed N: see leadingScriptSeed.
bool seedCommand(const HarnessArgs& args, std::string* error) {
    long seed = 0;
    if (args.size() != 1 || !parseWhole(args[0], 4294967295L, &seed)) {
        *error = "usage: seed N (0..4294967295)";
        return false;
    }
    // Taken before start-up when it leads the script; anywhere else it must
    // name the seed already in use.
    if (static_cast<uint32_t>(seed) != app.seed) {
        *error = "seed must be the script's first command (this run's seed is " +
                 std::to_string(app.seed) + ")";
        return false;
    }
    return true;
}

// steps MS...: one frame per number, each with that clock step; the step
// given by --step holds again afterwards.
bool stepsCommand(const HarnessArgs& args, std::string* error) {
    if (args.empty()) {
        *error = "usage: steps MS...";
        return false;
    }
    long steps[64];
    if (args.size() > 64) {
        *error = "steps takes at most 64 numbers";
        return false;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        // A step longer than a minute is no frame of a running game.
        if (!parseWhole(args[i], 60000, &steps[i])) {
            *error = "steps: '" + args[i] + "' is not a step in milliseconds (0..60000)";
            return false;
        }
    }
    const uint32_t usual = frameStep();
    for (size_t i = 0; i < args.size(); ++i) {
        setFrameStep(static_cast<uint32_t>(steps[i]));
        runFrames(1);
    }
    setFrameStep(usual);
    return true;
}

// pointer X Y: the pointer's scene position from now on, with no message.
bool pointerCommand(const HarnessArgs& args, std::string* error) {
    float x = 0.0f;
    float y = 0.0f;
    if (args.size() != 2 || !parseFinite(args[0], &x) || !parseFinite(args[1], &y)) {
        *error = "usage: pointer X Y";
        return false;
    }
    overridePointer(x, y);
    return true;
}

// send NAME [KEY]: one window message as the frame loop takes it.
bool sendCommand(const HarnessArgs& args, std::string* error) {
    MessageKind kind = MessageKind::None;
    if (args.empty() || args.size() > 2 || !messageKindFromName(args[0].c_str(), &kind)) {
        *error = "usage: send activate|deactivate|size|close|keydown KEY|mousemove|leftdown|"
                 "leftup|leftdouble|rightdown|rightup|middledown|middleup";
        return false;
    }
    GameMessage message{kind, 0};
    if (kind == MessageKind::KeyDown) {
        long key = 0;
        if (args.size() != 2 || !parseWhole(args[1], 255, &key) || key == 0) {
            *error = "send keydown needs a virtual-key code 1..255";
            return false;
        }
        message.key = static_cast<int32_t>(key);
    } else if (args.size() != 1) {
        *error = "send " + args[0] + " takes no key";
        return false;
    }
    sendMessage(message);
    return true;
}

HarnessValue drawableWidthField() {
    int w = 0;
    int h = 0;
    drawableSize(&w, &h);
    return HarnessValue::number(w);
}

HarnessValue drawableHeightField() {
    int w = 0;
    int h = 0;
    drawableSize(&w, &h);
    return HarnessValue::number(h);
}

const bool registered = registerHarnessCommand("seed", seedCommand) &&
                        registerHarnessCommand("steps", stepsCommand) &&
                        registerHarnessCommand("pointer", pointerCommand) &&
                        registerHarnessCommand("send", sendCommand) &&
                        registerDumpField("drawableWidth", drawableWidthField) &&
                        registerDumpField("drawableHeight", drawableHeightField);

}  // namespace

bool leadingScriptSeed(const std::string& path, uint32_t* seed) {
    HarnessArgs first = firstCommand(path);
    long value = 0;
    if (first.size() == 2 && first[0] == "seed" && parseWhole(first[1], 4294967295L, &value)) {
        *seed = static_cast<uint32_t>(value);
        return true;
    }
    return false;
}

}  // namespace corsavel::harness
