#pragma once

#include <cstdint>

#include "platform/events.h"

namespace corsavel {

// Records a session as a script corsavel-harness replays exactly: the seed,
// every frame's clock step and every message with the pointer as the game
// read it. The frame loop reports each pass and each message; the game
// (not the harness, which drives both itself) also latches its clock and
// pointer so the recorded values are the ones the frame used.
//
// The script's lines:
//   seed N                  the generators' seed (the script's first command)
//   steps MS...             one frame per number, each with that clock step
//   pointer X Y             the pointer in scene coordinates from now on
//   send NAME [KEY]         one message (see messageKindName)
// and, from the harness, its commands that change the game directly (level,
// hand, lives ...) as they were written.

// Opens the file and writes the header and the seed; nothing is recorded
// before beginRecordedSession. latchInputs: the game's own clock and pointer
// are replaced by values taken once per pass (see latchFrameInputs). False
// with the reason in errorText when the file cannot be written.
bool startSessionRecording(const char* path, uint32_t seed, bool latchInputs, char* errorText,
                           int errorCapacity);
// Starts recording: called once start-up is over, before the first frame.
void beginRecordedSession();
// Writes what is pending and closes the file (at shutdown).
void stopSessionRecording();
bool sessionRecording();

// The frame loop's reports.
void recordFramePass();
void recordMessage(const GameMessage& message);
// A harness command line that changed the game directly, written as is.
void recordScriptLine(const char* line);

// With latchInputs: before a pass the clock moves to the real time and the
// pointer is read; before a message only the pointer is read. Without a
// recording they do nothing.
void latchFrameInputs();
void latchMessageInputs();

// The names `send` takes: "activate", "deactivate", "size", "close",
// "keydown", "mousemove", "leftdown", "leftup", "leftdouble", "rightdown",
// "rightup", "middledown", "middleup". Null / false for anything else.
const char* messageKindName(MessageKind kind);
bool messageKindFromName(const char* name, MessageKind* kind);

}  // namespace corsavel
