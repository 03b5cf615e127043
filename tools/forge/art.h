#pragma once

#include <string>

#include "forge/forge.h"
#include "forge/image.h"
#include "forge/raster.h"
#include "game/figure_kinds.h"

// The game's 2D art: every texture and picture of the Data folder, drawn by code.
namespace corsavel::forge {

// Adds every image of the game to out, each under the name the game asks for.
void forgeArt(ForgeOutput& out);

// The parts of forgeArt, one per kind of art (art_*.cpp).
void forgeFigures(ForgeOutput& out);
void forgeTiles(ForgeOutput& out);
void forgeHud(ForgeOutput& out);
void forgeGui(ForgeOutput& out);
void forgeParticles(ForgeOutput& out);
void forgeBackgrounds(ForgeOutput& out);
void forgeScreens(ForgeOutput& out);

// The 17 treasure kinds in id order; sprite sheet i is figureSheetName(i).
constexpr int kFigureFrames = 32;
constexpr int kFigureCell = 64;
std::string figureSheetName(int kind);
// One frame of a treasure, kFigureCell square, frame 0 the still picture.
Image renderFigureFrame(int kind, int frame);

// Background picture n (0..12), 800 x 600 with its alpha plane.
Image renderBackground(int n);

// What the scene layers of background n must match: its sky, its water
// and the kind of trees it shows.
struct BackgroundLook {
    Colour skyTop, skyHorizon;
    float horizon = 330;  // pixels from the top
    bool water = false;
    float waterTop = 400;
    Colour waterColour;
    bool waterfall = false;
    bool palms = false, trees = false;
    Colour leaves[3];
    bool dark = false;  // night or cave: darker layers
};
BackgroundLook backgroundLook(int n);

// Particle atlas "exploanim.tga": 8 x 8 cells of 64 x 64 texels. Cell groups
// (first cell of each group of eight), for the effect files to pick from.
constexpr int kParticleGlow = 0;       // soft round glows, white to warm
constexpr int kParticleSpark = 8;      // four- and six-point sparkles, streaks
constexpr int kParticleSmoke = 16;     // smoke and dust puffs
constexpr int kParticleDebris = 24;    // gold chips, stone and tile shards
constexpr int kParticleRing = 32;      // shock rings and halos
constexpr int kParticleFire = 40;      // fire and explosion blobs
constexpr int kParticleStar = 48;      // stars and flares
constexpr int kParticleTreasure = 56;  // coins, gems, hearts, leaves

// Encoders bound to destinations: TGA entries of "targa.dat", JPEG entries of
// "jpeg.dat", and loose files under Data.
void addTga(ForgeOutput& out, const std::string& name, const Image& image,
            Destination destination = Destination::TargaArchive);
void addJpeg(ForgeOutput& out, const std::string& name, const Image& image, int quality = 90,
             Destination destination = Destination::JpegArchive);
void addAlphaJpeg(ForgeOutput& out, const std::string& name, const Image& image,
                  Destination destination = Destination::JpegArchive);

}  // namespace corsavel::forge
