#include "tools/models/CharacterGenerator.h"

#include "tools/models/MeshOptimiser.h"
#include "tools/models/ShapeMesher.h"
#include "tools/models/Skinning.h"
#include "tools/models/UvAtlas.h"
#include "tools/models/XWriter.h"

void CharacterGenerator::Generate(const CharacterRecipe& recipe, const std::string& dir)
{
    const CharacterDesign& d = recipe.design;
    const ModelMesh closed = ShapeMesher::Mesh(d);
    AtlasLayout layout;
    ModelMesh mesh = UvAtlas::Unwrap(d, closed, recipe.textureSize, layout);
    std::vector<VertexSkin> skin = Skinning::Compute(d, mesh);
    // The bake reads the layout's triangle order, so the mesh is reordered only after it.
    const BakedMaps maps = TextureBaker::Bake(d, mesh, layout, recipe.painter, recipe.occlusionReach);
    TextureBaker::WritePng(dir + "/" + recipe.diffuseName + ".png", maps.size, 3, maps.colour);
    TextureBaker::WritePng(dir + "/" + recipe.normalName + ".png", maps.size, 3, maps.normal);
    if (!recipe.glossName.empty())
        TextureBaker::WritePng(dir + "/" + recipe.glossName + ".png", maps.size, 1, maps.gloss);

    MeshOptimiser::Order(mesh, &skin);
    XWriter::Save(CharacterExport::Model(d, mesh, skin), dir + "/" + d.name + ".x");
    for (const ClipRecipe& clip : recipe.clips)
        XWriter::Save(CharacterExport::Clip(d, clip.name, clip.durationTicks, clip.pose), dir + "/" + clip.name + ".x");
}
