#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forge/forge.h"
#include "forge/image.h"

// The desktop icon: the treasure chest of the title splash, cut out square
// with rounded corners at the freedesktop hicolor sizes, and a vector
// drawing of the same chest for the scalable size. The files land under
// Data/icons/hicolor/ (installed to share/icons/hicolor/ as well); the game
// shows the 64-pixel one as its window icon.
namespace corsavel::forge {

constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// "icons/hicolor/<size>x<size>/apps/corsavel.png" and the scalable SVG.
std::string iconPath(int size);
std::string scalableIconPath();

// The icon at size x size pixels from the title splash picture (800x600).
Image renderIcon(const Image& splash, int size);
// The scalable icon's SVG text.
std::string scalableIconSvg();
// An RGBA PNG file's bytes.
std::vector<uint8_t> encodePng(const Image& image);

// Adds every icon as a loose file; the splash is taken from out when an
// earlier generator made it, else drawn afresh.
void forgeIcons(ForgeOutput& out);

}  // namespace corsavel::forge
