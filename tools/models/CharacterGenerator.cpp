#include "tools/models/CharacterGenerator.h"

#include "tools/models/ShapeMesher.h"
#include "tools/models/Skinning.h"
#include "tools/models/UvAtlas.h"
#include "tools/models/XWriter.h"

void CharacterGenerator::Generate(const CharacterRecipe& recipe, const std::string& dir)
{
    const CharacterDesign& d = recipe.design;
    const ModelMesh closed = ShapeMesher::Mesh(d);
    AtlasLayout layout;
    const ModelMesh mesh = UvAtlas::Unwrap(d, closed, recipe.textureSize, layout);
    XWriter::Save(CharacterExport::Model(d, mesh, Skinning::Compute(d, mesh)), dir + "/" + d.name + ".x");
    for (const ClipRecipe& clip : recipe.clips)
        XWriter::Save(CharacterExport::Clip(d, clip.name, clip.durationTicks, clip.pose), dir + "/" + clip.name + ".x");

    const BakedMaps maps = TextureBaker::Bake(d, mesh, layout, recipe.painter, recipe.occlusionReach);
    TextureBaker::WritePng(dir + "/" + recipe.diffuseName + ".png", maps.size, 3, maps.colour);
    TextureBaker::WritePng(dir + "/" + recipe.normalName + ".png", maps.size, 3, maps.normal);
    if (!recipe.glossName.empty())
        TextureBaker::WritePng(dir + "/" + recipe.glossName + ".png", maps.size, 1, maps.gloss);
}
