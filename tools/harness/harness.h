#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/events.h"

namespace corsavel::harness {

// Extension points of the scripted runner. Any tools/harness/*.cpp file may
// register commands and dump fields from a static initialiser:
//
//   static HarnessValue scoreField() { return HarnessValue::number(game.score); }
//   static bool levelCommand(const HarnessArgs& args, std::string* error) { ... }
//   static const bool registered = registerDumpField("score", scoreField) &&
//                                  registerHarnessCommand("level", levelCommand);
//
// A command receives the words after its name and returns false with a
// message in *error to fail the run (exit 1). Fields appear in every dump
// and can be tested by `expect` and `until`. Tables are fixed-size: a full
// table or a name taken twice refuses the registration.

struct HarnessValue {
    enum class Kind : uint8_t { Number, Text, Json };
    Kind kind = Kind::Number;
    double value = 0.0;
    std::string text;  // Text: the string; Json: raw JSON (arrays, objects)

    static HarnessValue number(double v) { return {Kind::Number, v, {}}; }
    static HarnessValue string(std::string s) { return {Kind::Text, 0.0, std::move(s)}; }
    static HarnessValue json(std::string s) { return {Kind::Json, 0.0, std::move(s)}; }
};

using HarnessArgs = std::vector<std::string>;
using DumpFieldGetter = HarnessValue (*)();
using HarnessCommandHandler = bool (*)(const HarnessArgs& args, std::string* error);
// Called after every frame the harness runs (screenshots of the next frame).
using FrameObserver = void (*)();
// Called once before start-up, to install subsystem hooks.
using SetupHook = void (*)();

constexpr int kMaxHarnessCommands = 64;
constexpr int kMaxDumpFields = 256;
constexpr int kMaxFrameObservers = 8;
constexpr int kMaxSetupHooks = 16;

bool registerHarnessCommand(const char* name, HarnessCommandHandler handler);
bool registerDumpField(const char* name, DumpFieldGetter getter);
bool registerFrameObserver(FrameObserver observer);
bool registerSetupHook(SetupHook hook);

// Services for commands: run frames with the fixed step, feed a game
// message as the window would, read a field, and make a script's relative
// file name absolute (the game runs inside its Data folder).
void runFrames(int count);
void sendMessage(const GameMessage& message);
bool readField(const std::string& name, HarnessValue* out);
std::string outputPath(const std::string& name);
bool standInLevelFile(const std::string& file, int number, std::string* error);
uint32_t frameStep();
// Sets the clock step of the frames run from now on (a replayed recording's
// `steps`).
void setFrameStep(uint32_t ms);
// A script whose first command is `seed N` (a recorded session) is played
// with that seed whatever --seed says; true and *seed then.
bool leadingScriptSeed(const std::string& path, uint32_t* seed);
// Compares two numbers with ==, !=, <, <=, > or >=; false for an unknown
// operator.
bool compareNumbers(double actual, const std::string& op, double want, bool* result);

}  // namespace corsavel::harness
