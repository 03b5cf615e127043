#pragma once

namespace corsavel {

constexpr int kScreenshotWidth = 800;
constexpr int kScreenshotHeight = 600;

// Writes the last presented frame's 800x600 scene as an RGB PNG. False when
// there is no device, no frame or the file cannot be written.
bool saveScreenshot(const char* pngPath);

// Reads the last presented frame's 800x600 scene as top-row-first RGBA
// pixels into `rgba` (800 * 600 * 4 bytes). False without a device or frame.
bool readScreenshotPixels(unsigned char* rgba);

// Encodes top-row-first RGBA pixels as an RGB PNG file.
bool writePng(const char* path, int width, int height, const unsigned char* rgba);

}  // namespace corsavel
