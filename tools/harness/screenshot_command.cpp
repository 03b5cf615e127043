#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"
#include "platform/render_device.h"
#include "platform/screenshot.h"

namespace corsavel::harness {

namespace {

constexpr size_t kShotBytes = static_cast<size_t>(kScreenshotWidth) * kScreenshotHeight * 4;

// The last two screenshots, kept for the region checks.
struct Shots {
    std::vector<unsigned char> last;
    std::vector<unsigned char> previous;
};

Shots shots;

// screenshot FILE.png: runs the next frame and writes it as an 800x600 PNG.
bool screenshotCommand(const HarnessArgs& args, std::string* error) {
    if (args.size() != 1) {
        *error = "screenshot needs one file name";
        return false;
    }
    // The next presented frame is kept, so the screenshot shows it exactly.
    renderDevice.frameCapture = true;
    runFrames(1);
    renderDevice.frameCapture = false;
    std::vector<unsigned char> pixels(kShotBytes);
    std::string path = outputPath(args[0]);
    if (!readScreenshotPixels(pixels.data()) ||
        !writePng(path.c_str(), kScreenshotWidth, kScreenshotHeight, pixels.data())) {
        *error = "cannot write screenshot " + path;
        return false;
    }
    shots.previous = std::move(shots.last);
    shots.last = std::move(pixels);
    return true;
}

bool parseFloat(const std::string& s, double* out) {
    char* end = nullptr;
    *out = std::strtod(s.c_str(), &end);
    return !s.empty() && end != nullptr && *end == '\0';
}

// Pixel statistics of a scene rectangle of the last screenshot: mean and
// standard deviation of the luminance, mean red, green and blue, and the
// share of pixels that changed visibly since the screenshot before.
bool regionStatistic(const double box[4], const std::string& stat, double* out,
                     std::string* error) {
    if (shots.last.size() != kShotBytes) {
        *error = "no screenshot taken yet";
        return false;
    }
    // Scene units (origin at the centre, y up) to pixel columns and rows.
    int x0 = static_cast<int>(std::floor(std::fmin(box[0], box[2]) + 400.0));
    int x1 = static_cast<int>(std::ceil(std::fmax(box[0], box[2]) + 400.0));
    int y0 = static_cast<int>(std::floor(300.0 - std::fmax(box[1], box[3])));
    int y1 = static_cast<int>(std::ceil(300.0 - std::fmin(box[1], box[3])));
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > kScreenshotWidth ? kScreenshotWidth : x1;
    y1 = y1 > kScreenshotHeight ? kScreenshotHeight : y1;
    if (x0 >= x1 || y0 >= y1) {
        *error = "the region lies outside the scene";
        return false;
    }
    const bool changed = stat == "changed";
    if (changed && shots.previous.size() != kShotBytes) {
        *error = "'changed' needs two screenshots";
        return false;
    }
    double sum = 0.0;
    double squares = 0.0;
    double channel[3] = {};
    double moved = 0.0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const size_t i = (static_cast<size_t>(y) * kScreenshotWidth + x) * 4;
            const unsigned char* p = &shots.last[i];
            const double luminance = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
            sum += luminance;
            squares += luminance * luminance;
            for (int k = 0; k < 3; ++k) {
                channel[k] += p[k];
            }
            if (changed) {
                const unsigned char* q = &shots.previous[i];
                const int d = std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
                moved += d > 24 ? 1.0 : 0.0;
            }
        }
    }
    const double n = static_cast<double>(x1 - x0) * (y1 - y0);
    const double mean = sum / n;
    if (stat == "mean") {
        *out = mean;
    } else if (stat == "stddev") {
        *out = std::sqrt(std::fmax(0.0, squares / n - mean * mean));
    } else if (stat == "red" || stat == "green" || stat == "blue") {
        *out = channel[stat == "red" ? 0 : stat == "green" ? 1 : 2] / n;
    } else if (changed) {
        *out = moved / n;
    } else {
        *error = "unknown statistic '" + stat + "' (mean, stddev, red, green, blue, changed)";
        return false;
    }
    return true;
}

// expectregion X0 Y0 X1 Y1 STAT OP VALUE
bool expectRegionCommand(const HarnessArgs& args, std::string* error) {
    double box[4];
    double want = 0.0;
    if (args.size() != 7 || !parseFloat(args[0], &box[0]) || !parseFloat(args[1], &box[1]) ||
        !parseFloat(args[2], &box[2]) || !parseFloat(args[3], &box[3]) ||
        !parseFloat(args[6], &want)) {
        *error = "usage: expectregion X0 Y0 X1 Y1 STAT OP VALUE";
        return false;
    }
    double actual = 0.0;
    if (!regionStatistic(box, args[4], &actual, error)) {
        return false;
    }
    const std::string& op = args[5];
    bool ok = false;
    if (op == "==" || op == "!=" || !compareNumbers(actual, op, want, &ok)) {
        *error = "use <, <=, > or >= with pixel statistics";
        return false;
    }
    if (!ok) {
        *error = args[4] + " of (" + args[0] + ", " + args[1] + ")-(" + args[2] + ", " + args[3] +
                 ") is " + std::to_string(actual) + ", expected " + op + " " + args[6];
    }
    return ok;
}

[[maybe_unused]] const bool registered =
    registerHarnessCommand("screenshot", screenshotCommand) &&
    registerHarnessCommand("expectregion", expectRegionCommand);

}  // namespace

}  // namespace corsavel::harness
