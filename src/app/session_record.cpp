#include "app/session_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "platform/clock.h"
#include "platform/pointer.h"

namespace corsavel {

namespace {

// The harness's clock starts at 1000 ms; a latched game clock starts there
// too, so the first frame's step is the same number in both.
constexpr uint32_t kClockOrigin = 1000;
// Frame steps per `steps` line.
constexpr int kStepsPerLine = 24;

struct Recorder {
    std::FILE* file = nullptr;
    bool active = false;
    bool latch = false;
    bool failed = false;
    uint32_t lastClock = 0;
    bool pointerKnown = false;
    float pointerX = 0.0f;
    float pointerY = 0.0f;
    uint32_t pendingSteps[kStepsPerLine] = {};
    int pendingCount = 0;
    // The latched clock: real time since the start, moved once per pass.
    uint32_t systemOrigin = 0;
    uint32_t latchedClock = kClockOrigin;
};

Recorder recorder;

uint32_t latchedClock() {
    return recorder.latchedClock;
}

void noteWriteFailure() {
    if (!recorder.failed) {
        recorder.failed = true;
        std::fprintf(stderr, "corsavel: the recording could not be written (%s); it stops here\n",
                     std::strerror(errno));
    }
}

void writeLine(const char* text) {
    if (recorder.file == nullptr || recorder.failed) {
        return;
    }
    if (std::fputs(text, recorder.file) < 0 || std::fputc('\n', recorder.file) == EOF) {
        noteWriteFailure();
    }
}

void flushSteps() {
    if (recorder.pendingCount == 0) {
        return;
    }
    char line[16 + kStepsPerLine * 11];
    int used = std::snprintf(line, sizeof line, "steps");
    for (int i = 0; i < recorder.pendingCount; ++i) {
        used += std::snprintf(line + used, sizeof line - static_cast<size_t>(used), " %u",
                              recorder.pendingSteps[i]);
    }
    recorder.pendingCount = 0;
    writeLine(line);
}

// Writes the pointer when it moved since the last line that gave it.
void notePointer() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    if (recorder.pointerKnown && x == recorder.pointerX && y == recorder.pointerY) {
        return;
    }
    flushSteps();
    recorder.pointerKnown = true;
    recorder.pointerX = x;
    recorder.pointerY = y;
    char line[64];
    // Nine significant digits give the same float back.
    std::snprintf(line, sizeof line, "pointer %.9g %.9g", static_cast<double>(x),
                  static_cast<double>(y));
    writeLine(line);
}

void latchPointer() {
    clearPointerOverride();
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    overridePointer(x, y);
}

struct KindName {
    MessageKind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {MessageKind::Activate, "activate"},     {MessageKind::Deactivate, "deactivate"},
    {MessageKind::Size, "size"},             {MessageKind::Close, "close"},
    {MessageKind::KeyDown, "keydown"},       {MessageKind::MouseMove, "mousemove"},
    {MessageKind::LeftDown, "leftdown"},     {MessageKind::LeftUp, "leftup"},
    {MessageKind::LeftDoubleClick, "leftdouble"}, {MessageKind::RightDown, "rightdown"},
    {MessageKind::RightUp, "rightup"},       {MessageKind::MiddleDown, "middledown"},
    {MessageKind::MiddleUp, "middleup"},
};

}  // namespace

const char* messageKindName(MessageKind kind) {
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return nullptr;
}

bool messageKindFromName(const char* name, MessageKind* kind) {
    for (const KindName& entry : kKindNames) {
        if (std::strcmp(entry.name, name) == 0) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool startSessionRecording(const char* path, uint32_t seed, bool latchInputs, char* errorText,
                           int errorCapacity) {
    stopSessionRecording();
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        std::snprintf(errorText, static_cast<size_t>(errorCapacity),
                      "cannot write the recording '%s': %s", path, std::strerror(errno));
        return false;
    }
    recorder = Recorder{};
    recorder.file = file;
    recorder.latch = latchInputs;
    char line[96];
    std::snprintf(line, sizeof line, "# Corsavel %s session, replayed by corsavel-harness",
                  gameVersion());
    writeLine(line);
    writeLine("# (give it --home with a copy of the user folder as it was at the start)");
    std::snprintf(line, sizeof line, "seed %u", seed);
    writeLine(line);
    if (latchInputs) {
        recorder.systemOrigin = systemClockMs();
        recorder.latchedClock = kClockOrigin;
        setClockSource(latchedClock);
    }
    if (recorder.failed) {
        stopSessionRecording();
        std::snprintf(errorText, static_cast<size_t>(errorCapacity),
                      "cannot write the recording '%s'", path);
        return false;
    }
    return true;
}

void beginRecordedSession() {
    if (recorder.file == nullptr) {
        return;
    }
    recorder.active = true;
    if (recorder.latch) {
        // Start-up took its time at the clock's origin; the first frame's
        // step counts from here, as the game's own clock would.
        recorder.systemOrigin = systemClockMs() - (recorder.latchedClock - kClockOrigin);
        latchPointer();
    }
    recorder.lastClock = clockMs();
    notePointer();
}

void stopSessionRecording() {
    if (recorder.file == nullptr) {
        return;
    }
    flushSteps();
    if (std::fclose(recorder.file) != 0) {
        noteWriteFailure();
    }
    if (recorder.latch) {
        setClockSource(nullptr);
        clearPointerOverride();
    }
    recorder = Recorder{};
}

bool sessionRecording() {
    return recorder.active;
}

void recordFramePass() {
    if (!recorder.active) {
        return;
    }
    notePointer();
    uint32_t now = clockMs();
    recorder.pendingSteps[recorder.pendingCount++] = elapsedMs(recorder.lastClock, now);
    recorder.lastClock = now;
    if (recorder.pendingCount == kStepsPerLine) {
        flushSteps();
    }
}

void recordMessage(const GameMessage& message) {
    const char* name = messageKindName(message.kind);
    if (!recorder.active || name == nullptr) {
        return;
    }
    notePointer();
    flushSteps();
    char line[48];
    if (message.kind == MessageKind::KeyDown) {
        std::snprintf(line, sizeof line, "send %s %d", name, static_cast<int>(message.key));
    } else {
        std::snprintf(line, sizeof line, "send %s", name);
    }
    writeLine(line);
    // A bug report's last input reaches the file even if the game then dies.
    if (recorder.file != nullptr && !recorder.failed && std::fflush(recorder.file) != 0) {
        noteWriteFailure();
    }
}

void recordScriptLine(const char* line) {
    if (!recorder.active) {
        return;
    }
    flushSteps();
    writeLine(line);
}

void latchFrameInputs() {
    if (!recorder.active || !recorder.latch) {
        return;
    }
    recorder.latchedClock = kClockOrigin + elapsedMs(recorder.systemOrigin, systemClockMs());
    latchPointer();
}

void latchMessageInputs() {
    if (recorder.active && recorder.latch) {
        latchPointer();
    }
}

}  // namespace corsavel
