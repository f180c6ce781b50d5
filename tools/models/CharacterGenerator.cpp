#include "tools/models/CharacterGenerator.h"

#include "tools/models/ShapeMesher.h"
#include "tools/models/Skinning.h"
#include "tools/models/UvAtlas.h"
#include "tools/models/XWriter.h"

void CharacterGenerator::Generate(const CharacterSpec& spec, const std::string& dir)
{
    const CharacterDesign& d = spec.design;
    const ModelMesh closed = ShapeMesher::Mesh(d);
    AtlasLayout layout;
    const ModelMesh mesh = UvAtlas::Unwrap(d, closed, spec.textureSize, layout);
    XWriter::Save(CharacterExport::Model(d, mesh, Skinning::Compute(d, mesh)), dir + "/" + d.name + ".x");
    for (const ClipSpec& clip : spec.clips)
        XWriter::Save(CharacterExport::Clip(d, clip.name, clip.durationTicks, clip.pose), dir + "/" + clip.name + ".x");

    const BakedMaps maps = TextureBaker::Bake(d, mesh, layout, spec.painter, spec.occlusionReach);
    TextureBaker::WritePng(dir + "/" + spec.diffuseName + ".png", maps.size, 3, maps.colour);
    TextureBaker::WritePng(dir + "/" + spec.normalName + ".png", maps.size, 3, maps.normal);
    if (!spec.glossName.empty())
        TextureBaker::WritePng(dir + "/" + spec.glossName + ".png", maps.size, 1, maps.gloss);
}
