#include "forge/art.h"

namespace corsavel::forge {

// Run-length TGAs: the transparent and flat areas of the art shrink the
// archive the game reads and keeps in memory to about a third.
void addTga(ForgeOutput& out, const std::string& name, const Image& image,
            Destination destination) {
    out.add(name, encodeTga(image, true, true), destination);
}

void addJpeg(ForgeOutput& out, const std::string& name, const Image& image, int quality,
             Destination destination) {
    out.add(name, encodeJpeg(image, quality), destination);
}

void addAlphaJpeg(ForgeOutput& out, const std::string& name, const Image& image,
                  Destination destination) {
    out.add(name, encodeAlphaJpeg(image, 90), destination);
}

void forgeArt(ForgeOutput& out) {
    forgeFigures(out);
    forgeTiles(out);
    forgeHud(out);
    forgeGui(out);
    forgeParticles(out);
    forgeBackgrounds(out);
    forgeScreens(out);
}

}  // namespace corsavel::forge
