#include <string>

#include "harness.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"

namespace corsavel::harness {

namespace {

// Every presented frame is kept, so a screenshot shows the frame just run.
void keepFrames() {
    renderDevice.frameCapture = true;
}

// screenshot FILE.png: runs the next frame and writes it as an 800x600 PNG.
bool screenshotCommand(const HarnessArgs& args, std::string* error) {
    if (args.size() != 1) {
        *error = "screenshot needs one file name";
        return false;
    }
    runFrames(1);
    std::string path = outputPath(args[0]);
    if (!saveScreenshot(path.c_str())) {
        *error = "cannot write screenshot " + path;
        return false;
    }
    return true;
}

[[maybe_unused]] const bool registered =
    registerSetupHook(keepFrames) && registerHarnessCommand("screenshot", screenshotCommand);

}  // namespace

}  // namespace corsavel::harness
