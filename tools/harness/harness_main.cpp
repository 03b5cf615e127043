#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "app/game_main.h"
#include "app/screen.h"
#include "app/session_record.h"
#include "harness.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/paths.h"
#include "platform/pointer.h"
#include "platform/random.h"

namespace corsavel::harness {

namespace {

struct CommandEntry {
    const char* name;
    HarnessCommandHandler handler;
};

struct FieldEntry {
    const char* name;
    DumpFieldGetter getter;
};

// The registration tables, built on first use so static initialisers in
// other files may register in any order.
struct Registry {
    CommandEntry commands[kMaxHarnessCommands] = {};
    int commandCount = 0;
    FieldEntry fields[kMaxDumpFields] = {};
    int fieldCount = 0;
    FrameObserver observers[kMaxFrameObservers] = {};
    int observerCount = 0;
    SetupHook setups[kMaxSetupHooks] = {};
    int setupCount = 0;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

struct RunState {
    uint32_t now = 1000;
    uint32_t step = 16;
    std::string launchDirectory;
};

RunState run;

uint32_t harnessClock() {
    return run.now;
}

const CommandEntry* findCommand(const std::string& name) {
    Registry& r = registry();
    for (int i = 0; i < r.commandCount; ++i) {
        if (name == r.commands[i].name) {
            return &r.commands[i];
        }
    }
    return nullptr;
}

const FieldEntry* findField(const std::string& name) {
    Registry& r = registry();
    for (int i = 0; i < r.fieldCount; ++i) {
        if (name == r.fields[i].name) {
            return &r.fields[i];
        }
    }
    return nullptr;
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof(buffer), "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string valueText(const HarnessValue& v) {
    if (v.kind == HarnessValue::Kind::Number) {
        char buffer[64];
        std::snprintf(buffer, sizeof(buffer), "%.10g", v.value);
        return buffer;
    }
    return v.text;
}

bool parseNumber(const std::string& s, double* out) {
    if (s.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    *out = std::strtod(s.c_str(), &end);
    return errno == 0 && end != nullptr && *end == '\0';
}

// Field values kept by `keep FIELD`, compared later as $FIELD.
constexpr int kMaxKeptValues = 32;
struct KeptValue {
    std::string name;
    std::string value;
};
KeptValue kept[kMaxKeptValues];
int keptCount = 0;

const KeptValue* findKept(const std::string& name) {
    for (int i = 0; i < keptCount; ++i) {
        if (kept[i].name == name) {
            return &kept[i];
        }
    }
    return nullptr;
}

// FIELD OP VALUE: numbers compare as numbers, anything else as text (only
// == and != then). A VALUE of $NAME stands for the value kept of NAME.
bool evaluate(const HarnessArgs& words, size_t first, bool* result, std::string* error) {
    if (words.size() < first + 3) {
        *error = "expected FIELD OP VALUE";
        return false;
    }
    const std::string& name = words[first];
    const std::string& op = words[first + 1];
    std::string expected = words[first + 2];
    if (expected.size() > 1 && expected[0] == '$') {
        const KeptValue* k = findKept(expected.substr(1));
        if (k == nullptr) {
            *error = "nothing kept as '" + expected.substr(1) + "'";
            return false;
        }
        expected = k->value;
    }
    HarnessValue actual;
    if (!readField(name, &actual)) {
        *error = "unknown field '" + name + "'";
        return false;
    }
    double want = 0.0;
    int order = 0;
    if (actual.kind == HarnessValue::Kind::Number && parseNumber(expected, &want)) {
        order = actual.value < want ? -1 : actual.value > want ? 1 : 0;
    } else if (op == "==" || op == "!=") {
        order = valueText(actual) == expected ? 0 : 1;
    } else {
        *error = "operator '" + op + "' needs a number, field '" + name + "' is '" +
                 valueText(actual) + "'";
        return false;
    }
    if (!compareNumbers(order, op, 0.0, result)) {
        *error = "unknown operator '" + op + "'";
        return false;
    }
    if (!*result) {
        *error = name + " is " + valueText(actual) + ", expected " + op + " " + expected;
    }
    return true;
}

bool parseCount(const std::string& s, int* out) {
    double v = 0.0;
    if (!parseNumber(s, &v) || v < 0 || v > 100000000 || v != static_cast<int>(v)) {
        return false;
    }
    *out = static_cast<int>(v);
    return true;
}

bool commandFrames(const HarnessArgs& args, std::string* error) {
    int n = 0;
    if (args.size() != 1 || !parseCount(args[0], &n)) {
        *error = "usage: frames N";
        return false;
    }
    runFrames(n);
    return true;
}

bool commandUntil(const HarnessArgs& args, std::string* error) {
    int limit = 1000;
    if (args.size() == 5 && args[3] == "max") {
        if (!parseCount(args[4], &limit)) {
            *error = "usage: until FIELD OP VALUE [max N]";
            return false;
        }
    } else if (args.size() != 3) {
        *error = "usage: until FIELD OP VALUE [max N]";
        return false;
    }
    for (int i = 0; i <= limit; ++i) {
        bool ok = false;
        if (!evaluate(args, 0, &ok, error)) {
            return false;
        }
        if (ok) {
            return true;
        }
        if (i < limit) {
            runFrames(1);
        }
    }
    *error = "not reached within " + std::to_string(limit) + " frames: " + *error;
    return false;
}

bool commandExpect(const HarnessArgs& args, std::string* error) {
    bool ok = false;
    if (args.size() != 3) {
        *error = "usage: expect FIELD OP VALUE";
        return false;
    }
    return evaluate(args, 0, &ok, error) && ok;
}

// keep FIELD: remembers the field's value now, for a later $FIELD.
bool commandKeep(const HarnessArgs& args, std::string* error) {
    HarnessValue v;
    if (args.size() != 1 || !readField(args[0], &v)) {
        *error = args.size() != 1 ? "usage: keep FIELD" : "unknown field '" + args[0] + "'";
        return false;
    }
    KeptValue* slot = const_cast<KeptValue*>(findKept(args[0]));
    if (slot == nullptr) {
        if (keptCount >= kMaxKeptValues) {
            *error = "too many kept values";
            return false;
        }
        slot = &kept[keptCount++];
        slot->name = args[0];
    }
    slot->value = valueText(v);
    return true;
}

bool commandMove(const HarnessArgs& args, std::string* error) {
    double x = 0.0;
    double y = 0.0;
    if (args.size() != 2 || !parseNumber(args[0], &x) || !parseNumber(args[1], &y)) {
        *error = "usage: move X Y";
        return false;
    }
    overridePointer(static_cast<float>(x), static_cast<float>(y));
    sendMessage({MessageKind::MouseMove, 0});
    return true;
}

bool sendSequence(const HarnessArgs& args, std::string* error,
                  std::initializer_list<MessageKind> kinds) {
    if (!args.empty()) {
        *error = "this command takes no arguments";
        return false;
    }
    for (MessageKind kind : kinds) {
        sendMessage({kind, 0});
    }
    return true;
}

bool commandClick(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::LeftDown, MessageKind::LeftUp});
}
bool commandRightClick(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::RightDown, MessageKind::RightUp});
}
bool commandDoubleClick(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e,
                        {MessageKind::LeftDown, MessageKind::LeftUp, MessageKind::LeftDoubleClick,
                         MessageKind::LeftUp});
}
bool commandPress(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::LeftDown});
}
bool commandRelease(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::LeftUp});
}
bool commandActivate(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::Activate});
}
bool commandDeactivate(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::Deactivate});
}
bool commandClose(const HarnessArgs& a, std::string* e) {
    return sendSequence(a, e, {MessageKind::Close});
}

bool commandKey(const HarnessArgs& args, std::string* error) {
    int32_t code = args.size() == 1 ? virtualKeyFromName(args[0].c_str()) : 0;
    if (code == 0) {
        *error = "usage: key CODE|NAME (unknown key)";
        return false;
    }
    sendMessage({MessageKind::KeyDown, code});
    return true;
}

bool commandDump(const HarnessArgs& args, std::string* error) {
    if (args.size() != 1) {
        *error = "usage: dump FILE.json";
        return false;
    }
    std::string path = outputPath(args[0]);
    std::ofstream out(path);
    if (!out) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    Registry& r = registry();
    out << "{\n";
    for (int i = 0; i < r.fieldCount; ++i) {
        HarnessValue v = r.fields[i].getter();
        std::string text = v.kind == HarnessValue::Kind::Text ? jsonString(v.text) : valueText(v);
        out << "  " << jsonString(r.fields[i].name) << ": " << text
            << (i + 1 < r.fieldCount ? ",\n" : "\n");
    }
    out << "}\n";
    return static_cast<bool>(out);
}

HarnessValue fieldScreen() {
    return HarnessValue::string(screenName(currentScreen()));
}
HarnessValue fieldFrameCount() {
    return HarnessValue::number(app.frameCount);
}
HarnessValue fieldPointerX() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    return HarnessValue::number(x);
}
HarnessValue fieldPointerY() {
    float x = 0.0f;
    float y = 0.0f;
    pointerPosition(&x, &y);
    return HarnessValue::number(y);
}
HarnessValue fieldPointerKind() {
    return HarnessValue::number(pointerKind());
}
HarnessValue fieldAppActive() {
    return HarnessValue::number(app.appActive);
}
HarnessValue fieldQuit() {
    return HarnessValue::number(app.quitRequested);
}
HarnessValue fieldAnimationClock() {
    return HarnessValue::number(app.animationClockMs);
}
HarnessValue fieldFrameStep() {
    return HarnessValue::number(app.frameStepMs);
}
HarnessValue fieldLoadAllCount() {
    return HarnessValue::number(app.loadAllCount);
}
HarnessValue fieldFps() {
    return HarnessValue::string(app.fpsText);
}
HarnessValue fieldBackdrop() {
    return HarnessValue::number(app.menuBackdrop);
}
HarnessValue fieldSplashTimer() {
    return HarnessValue::number(intro.splashTimerMs);
}
HarnessValue fieldSecondSplash() {
    return HarnessValue::number(intro.showingSecondSplash ? 1 : 0);
}
HarnessValue fieldIntroStarted() {
    return HarnessValue::number(intro.introStarted ? 1 : 0);
}
HarnessValue fieldFadeTimer() {
    return HarnessValue::number(intro.fadeTimerMs);
}
HarnessValue fieldLoadedBytes() {
    return HarnessValue::number(intro.loadedBytes);
}

const bool coreRegistered =
    registerHarnessCommand("frames", commandFrames) &&
    registerHarnessCommand("until", commandUntil) &&
    registerHarnessCommand("expect", commandExpect) &&
    registerHarnessCommand("keep", commandKeep) && registerHarnessCommand("move", commandMove) &&
    registerHarnessCommand("click", commandClick) &&
    registerHarnessCommand("rclick", commandRightClick) &&
    registerHarnessCommand("dblclick", commandDoubleClick) &&
    registerHarnessCommand("press", commandPress) &&
    registerHarnessCommand("release", commandRelease) &&
    registerHarnessCommand("key", commandKey) && registerHarnessCommand("dump", commandDump) &&
    registerHarnessCommand("activate", commandActivate) &&
    registerHarnessCommand("deactivate", commandDeactivate) &&
    registerHarnessCommand("close", commandClose) && registerDumpField("screen", fieldScreen) &&
    registerDumpField("frameCount", fieldFrameCount) &&
    registerDumpField("pointerX", fieldPointerX) && registerDumpField("pointerY", fieldPointerY) &&
    registerDumpField("pointerKind", fieldPointerKind) &&
    registerDumpField("appActive", fieldAppActive) &&
    registerDumpField("quitRequested", fieldQuit) &&
    registerDumpField("animationClockMs", fieldAnimationClock) &&
    registerDumpField("frameStepMs", fieldFrameStep) &&
    registerDumpField("loadAllCount", fieldLoadAllCount) &&
    registerDumpField("fpsText", fieldFps) && registerDumpField("menuBackdrop", fieldBackdrop) &&
    registerDumpField("splashTimerMs", fieldSplashTimer) &&
    registerDumpField("introStarted", fieldIntroStarted) &&
    registerDumpField("showingSecondSplash", fieldSecondSplash) &&
    registerDumpField("fadeTimerMs", fieldFadeTimer) &&
    registerDumpField("loadedBytes", fieldLoadedBytes);

HarnessArgs splitWords(const std::string& line) {
    HarnessArgs words;
    std::istringstream in(line);
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

// Runs the script line by line; returns the exit code.
int runScript(const char* path) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "corsavel-harness: cannot open script '%s'\n", path);
        return 2;
    }
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        size_t hash = line.find('#');
        if (hash != std::string::npos) {
            line.erase(hash);
        }
        HarnessArgs words = splitWords(line);
        if (words.empty()) {
            continue;
        }
        if (app.quitRequested != 0) {
            std::fprintf(stderr, "%s:%d: the game has quit; the rest of the script is skipped\n",
                         path, lineNumber);
            return 0;
        }
        const CommandEntry* command = findCommand(words[0]);
        if (command == nullptr) {
            std::fprintf(stderr, "%s:%d: unknown command '%s'\n", path, lineNumber,
                         words[0].c_str());
            return 2;
        }
        std::string error;
        HarnessArgs args(words.begin() + 1, words.end());
        // Commands that change the game directly, neither by messages nor by
        // frames, go into a recording as written.
        if (sessionRecording() &&
            (words[0] == "level" || words[0] == "levelfile" || words[0] == "hand" ||
             words[0] == "lives" || words[0] == "notips")) {
            recordScriptLine(line.c_str());
        }
        if (!command->handler(args, &error)) {
            std::fprintf(stderr, "%s:%d: %s failed: %s\n", path, lineNumber, words[0].c_str(),
                         error.c_str());
            return 1;
        }
    }
    return 0;
}

void usage() {
    std::fprintf(stderr,
                 "usage: corsavel-harness [--data DIR] [--home DIR] [--seed N] [--step MS] "
                 "[--window] [--record FILE] SCRIPT\n");
}

}  // namespace

bool registerHarnessCommand(const char* name, HarnessCommandHandler handler) {
    Registry& r = registry();
    if (r.commandCount >= kMaxHarnessCommands || findCommand(name) != nullptr) {
        return false;
    }
    r.commands[r.commandCount++] = {name, handler};
    return true;
}

bool registerDumpField(const char* name, DumpFieldGetter getter) {
    Registry& r = registry();
    if (r.fieldCount >= kMaxDumpFields || findField(name) != nullptr) {
        return false;
    }
    r.fields[r.fieldCount++] = {name, getter};
    return true;
}

bool registerFrameObserver(FrameObserver observer) {
    Registry& r = registry();
    if (r.observerCount >= kMaxFrameObservers) {
        return false;
    }
    r.observers[r.observerCount++] = observer;
    return true;
}

bool registerSetupHook(SetupHook hook) {
    Registry& r = registry();
    if (r.setupCount >= kMaxSetupHooks) {
        return false;
    }
    r.setups[r.setupCount++] = hook;
    return true;
}

// One frame as the game's loop runs it when its queue is empty. The real
// window's own input is drained and ignored, so only the script's input
// reaches the game; closing the window (or SIGTERM) still ends the run.
void runFrames(int count) {
    Registry& r = registry();
    for (int i = 0; i < count && app.quitRequested == 0; ++i) {
        GameMessage message;
        while (pollGameMessage(&message)) {
            if (message.kind == MessageKind::Close) {
                handleMessage(message);
            }
        }
        run.now += run.step;
        runIdlePass();
        for (int k = 0; k < r.observerCount; ++k) {
            r.observers[k]();
        }
    }
}

void sendMessage(const GameMessage& message) {
    handleMessage(message);
}

bool readField(const std::string& name, HarnessValue* out) {
    const FieldEntry* field = findField(name);
    if (field == nullptr) {
        return false;
    }
    *out = field->getter();
    return true;
}

std::string outputPath(const std::string& name) {
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    return run.launchDirectory + "/" + name;
}

uint32_t frameStep() {
    return run.step;
}

void setFrameStep(uint32_t ms) {
    run.step = ms;
}

bool compareNumbers(double actual, const std::string& op, double want, bool* result) {
    if (op == "==") {
        *result = actual == want;
    } else if (op == "!=") {
        *result = actual != want;
    } else if (op == "<") {
        *result = actual < want;
    } else if (op == "<=") {
        *result = actual <= want;
    } else if (op == ">") {
        *result = actual > want;
    } else if (op == ">=") {
        *result = actual >= want;
    } else {
        return false;
    }
    return true;
}

int harnessMain(int argc, char** argv) {
    GameOptions options;
    options.allowOffscreen = true;
    options.limitFrameRate = false;
    options.singleInstance = false;
    uint32_t seed = 1;
    bool window = false;
    const char* script = nullptr;
    const char* record = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        int number = 0;
        if (arg == "--data" && hasValue) {
            options.dataDirectory = argv[++i];
        } else if (arg == "--home" && hasValue) {
            options.userDirectory = argv[++i];
        } else if (arg == "--seed" && hasValue && parseCount(argv[i + 1], &number)) {
            seed = static_cast<uint32_t>(number);
            ++i;
        } else if (arg == "--step" && hasValue && parseCount(argv[i + 1], &number)) {
            run.step = static_cast<uint32_t>(number);
            ++i;
        } else if (arg == "--record" && hasValue) {
            record = argv[++i];
        } else if (arg == "--window") {
            window = true;
        } else if (script == nullptr && !arg.empty() && arg[0] != '-') {
            script = argv[i];
        } else {
            usage();
            return 2;
        }
    }
    if (script == nullptr) {
        usage();
        return 2;
    }
    if (!window) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    char cwd[kMaxPath];
    run.launchDirectory = getcwd(cwd, sizeof(cwd)) != nullptr ? cwd : ".";
    std::string scriptPath = outputPath(script);
    setClockSource(harnessClock);
    Registry& r = registry();
    for (int i = 0; i < r.setupCount; ++i) {
        r.setups[i]();
    }
    uint32_t scriptSeed = 0;
    if (leadingScriptSeed(scriptPath, &scriptSeed)) {
        seed = scriptSeed;
    }
    if (record != nullptr) {
        char error[kMaxPath + 64];
        if (!startSessionRecording(outputPath(record).c_str(), seed, false, error,
                                   sizeof error)) {
            std::fprintf(stderr, "corsavel-harness: %s\n", error);
            return 2;
        }
    }
    seedRandom(seed);
    app.fixedSeed = true;
    app.seed = seed;
    if (!startGame(options)) {
        std::fprintf(stderr, "corsavel-harness: the game did not start\n");
        stopSessionRecording();
        return 2;
    }
    beginRecordedSession();
    int code = runScript(scriptPath.c_str());
    shutdownGame();
    return code;
}

}  // namespace corsavel::harness

int main(int argc, char** argv) {
    return corsavel::harness::harnessMain(argc, argv);
}
