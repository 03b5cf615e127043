#pragma once

namespace corsavel {

constexpr int kScreenshotWidth = 800;
constexpr int kScreenshotHeight = 600;

// Writes the last presented frame's 800x600 scene as an RGB PNG. False when
// there is no device, no frame or the file cannot be written.
bool saveScreenshot(const char* pngPath);

// Encodes top-row-first RGBA pixels as an RGB PNG file.
bool writePng(const char* path, int width, int height, const unsigned char* rgba);

}  // namespace corsavel
