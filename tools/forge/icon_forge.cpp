#include "forge/icon_forge.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "forge/art.h"
#include "forge/contact_sheet.h"
#include "forge/raster.h"

namespace corsavel::forge {

namespace {

// The chest on the title splash: centred at x 400, its heap of gold from
// y 248 down to its shadow at y 528, with some sea and sand below.
constexpr int kCropX = 230;
constexpr int kCropY = 238;
constexpr int kCropSize = 340;

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void flushNothing(png_structp) {}

Image splashFrom(const ForgeOutput& out) {
    for (const ForgedFile& file : out.files()) {
        if (file.path == "splash1.jpg") {
            Image image = decodeForgedImage(file.path, file.bytes);
            if (image.width() == 800 && image.height() == 600) {
                return image;
            }
        }
    }
    ForgeOutput scratch;
    forgeScreens(scratch);
    for (const ForgedFile& file : scratch.files()) {
        if (file.path == "splash1.jpg") {
            return decodeForgedImage(file.path, file.bytes);
        }
    }
    return {};
}

}  // namespace

std::string iconPath(int size) {
    return "icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
           "/apps/corsavel.png";
}

std::string scalableIconPath() {
    return "icons/hicolor/scalable/apps/corsavel.svg";
}

Image renderIcon(const Image& splash, int size) {
    Image icon(size, size);
    if (size <= 0) {
        return icon;
    }
    Image square = splash.crop(kCropX, kCropY, kCropSize, kCropSize).resized(size, size);
    // A rounded tile, its corners anti-aliased, with a dark rim that keeps
    // the edge visible on light and dark panels alike.
    const float half = size / 2.0f;
    const float corner = std::max(4.0f, size * 0.18f);
    const float rim = std::max(1.0f, size / 40.0f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Vec2 p{x + 0.5f, y + 0.5f};
            const float d = sdRoundBox(p, {half, half}, half, half, corner);
            const float inside = coverage(d);
            if (inside <= 0.0f) {
                continue;
            }
            Colour c = toColour(square.get(x, y));
            c.a = 1.0f;
            const float edge = clamp01(1.0f - (-d) / rim);
            c = mix(c, rgb(0x2A1408), edge * 0.85f);
            Rgba pixel = toRgba(c);
            pixel.a = static_cast<uint8_t>(std::lround(inside * 255.0f));
            icon.at(x, y) = pixel;
        }
    }
    return icon;
}

std::string scalableIconSvg() {
    // The same chest as the pictures, as shapes: sunset tile, rays, chest,
    // lid, gold heap, bands, lock and three gems.
    return R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <title>Corsavel</title>
  <defs>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2c1b4a"/>
      <stop offset="0.55" stop-color="#c0603a"/>
      <stop offset="1" stop-color="#3a2030"/>
    </linearGradient>
    <radialGradient id="shine" cx="0.5" cy="0.42" r="0.5">
      <stop offset="0" stop-color="#ffe7a0" stop-opacity="0.9"/>
      <stop offset="1" stop-color="#ffd060" stop-opacity="0"/>
    </radialGradient>
    <linearGradient id="wood" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#8a5028"/>
      <stop offset="1" stop-color="#5a3018"/>
    </linearGradient>
    <linearGradient id="gold" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#fff0a0"/>
      <stop offset="1" stop-color="#c07810"/>
    </linearGradient>
    <clipPath id="tile"><rect x="0" y="0" width="256" height="256" rx="46"/></clipPath>
  </defs>
  <g clip-path="url(#tile)">
    <rect width="256" height="256" fill="url(#sky)"/>
    <g fill="#ffd890" opacity="0.28">
      <path d="M128 108 L60 0 H96 Z"/><path d="M128 108 L160 0 H196 Z"/>
      <path d="M128 108 L256 40 V80 Z"/><path d="M128 108 L0 40 V80 Z"/>
      <path d="M128 108 L236 256 H200 Z"/><path d="M128 108 L20 256 H56 Z"/>
    </g>
    <circle cx="128" cy="110" r="110" fill="url(#shine)"/>
    <rect x="30" y="210" width="204" height="18" rx="6" fill="#000000" opacity="0.4"/>
    <path d="M36 110 H220 L204 40 H52 Z" fill="#5a3018"/>
    <path d="M44 104 H212 L198 48 H58 Z" fill="#2a1408"/>
    <ellipse cx="128" cy="106" rx="86" ry="26" fill="#8a5a10"/>
    <ellipse cx="128" cy="102" rx="80" ry="22" fill="url(#gold)"/>
    <g fill="#f8cc40" stroke="#8a5a10" stroke-width="2">
      <ellipse cx="84" cy="92" rx="13" ry="6"/><ellipse cx="118" cy="84" rx="13" ry="6"/>
      <ellipse cx="152" cy="88" rx="13" ry="6"/><ellipse cx="178" cy="98" rx="13" ry="6"/>
      <ellipse cx="100" cy="100" rx="13" ry="6"/><ellipse cx="140" cy="98" rx="13" ry="6"/>
    </g>
    <circle cx="104" cy="86" r="7" fill="#e02040"/>
    <circle cx="136" cy="80" r="7" fill="#30c060"/>
    <circle cx="166" cy="90" r="7" fill="#3080f0"/>
    <g fill="#ffffff" opacity="0.8">
      <circle cx="102" cy="84" r="2.5"/><circle cx="134" cy="78" r="2.5"/><circle cx="164" cy="88" r="2.5"/>
    </g>
    <rect x="40" y="108" width="176" height="102" fill="url(#wood)"/>
    <rect x="34" y="104" width="188" height="14" rx="4" fill="#c89030"/>
    <rect x="58" y="108" width="16" height="102" rx="2" fill="#d0a040"/>
    <rect x="182" y="108" width="16" height="102" rx="2" fill="#d0a040"/>
    <rect x="114" y="112" width="28" height="44" rx="4" fill="#e8c050"/>
    <circle cx="128" cy="136" r="6" fill="#201008"/>
  </g>
  <rect x="2" y="2" width="252" height="252" rx="44" fill="none" stroke="#2a1408" stroke-width="4" opacity="0.85"/>
</svg>
)svg";
}

std::vector<uint8_t> encodePng(const Image& image) {
    std::vector<uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || image.empty() || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &bytes, appendToVector, flushNothing);
    png_set_IHDR(png, info, image.width(), image.height(), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) {
        png_write_row(png, reinterpret_cast<png_const_bytep>(&image.at(0, y)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

void forgeIcons(ForgeOutput& out) {
    const Image splash = splashFrom(out);
    if (splash.empty()) {
        return;
    }
    for (int size : kIconSizes) {
        out.add(iconPath(size), encodePng(renderIcon(splash, size)));
    }
    out.addText(scalableIconPath(), scalableIconSvg());
}

}  // namespace corsavel::forge
