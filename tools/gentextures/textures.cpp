#include "textures.h"

namespace texgen {

namespace {

QImage buildInvertedBark() { return invertColours(buildBark()); }

} // namespace

const std::vector<TextureFile>& textureFiles()
{
    static const std::vector<TextureFile> files = {
        {"woodInMladWood.jpg", buildBark},   {"woodInMladWoodInvert.jpg", buildInvertedBark},
        {"listInRezina.png", buildLeaf},     {"zaga2.png", buildSaw},
        {"ravnilo.png", buildRuler},         {"grass.jpg", buildGrass},
        {"Above_The_Sea.jpg", buildSky},     {"grad.png", buildLegend},
        {"rope.png", buildRope},
    };
    return files;
}

} // namespace texgen
