// zorbulon_gen_meshes <output dir>
// The scene's primitive meshes, and the bubble gun with its textures.
#include "tools/models/GunDesign.h"
#include "tools/models/GunPainter.h"
#include "tools/models/MeshOptimiser.h"
#include "tools/models/PrimitiveMeshes.h"
#include "tools/models/ShapeMesher.h"
#include "tools/models/TextureBaker.h"
#include "tools/models/UvAtlas.h"
#include "tools/models/XWriter.h"

#include <exception>
#include <iostream>
#include <string>
#include <utility>

namespace {

constexpr int GunTextureSize = 1024;
// Creases on the gun are small: occlusion reaches a centimetre and a half.
constexpr float GunOcclusionReach = 1.5f;

void Save(ModelMesh m, const std::string& name, const std::string& dir)
{
    MeshOptimiser::Order(m);
    XScene scene;
    scene.root.name = "Root";
    XMesh x;
    x.name = name + "Mesh";
    x.positions = m.positions;
    x.normals = m.normals;
    x.uvs = m.uvs;
    x.triangles = m.triangles;
    scene.root.meshes.push_back(std::move(x));
    XWriter::Save(scene, dir + "/" + name + ".x");
}

void Gun(const std::string& dir)
{
    const GunHold hold = GunDesign::Hold();
    const CharacterDesign design = GunDesign::Build(hold);
    AtlasLayout layout;
    ModelMesh mesh = UvAtlas::Unwrap(design, ShapeMesher::Mesh(design), GunTextureSize, layout);
    const BakedMaps maps = TextureBaker::Bake(design, mesh, layout, &GunPainter::At, GunOcclusionReach);
    TextureBaker::WritePng(dir + "/BubblgunDiffuse.png", maps.size, 3, maps.colour);
    TextureBaker::WritePng(dir + "/BubblgunNormal.png", maps.size, 3, maps.normal);
    for (size_t i = 0; i < mesh.positions.size(); ++i) {
        mesh.positions[i] = GunDesign::ToModel(mesh.positions[i], hold);
        mesh.normals[i] = GunDesign::DirectionToModel(mesh.normals[i]);
    }
    Save(std::move(mesh), "BubbleGun", dir);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output dir>\n";
        return 2;
    }
    try {
        const std::string dir = argv[1];
        Save(PrimitiveMeshes::Cube(), "Cube", dir);
        Save(PrimitiveMeshes::Sphere(), "Sphere", dir);
        Save(PrimitiveMeshes::Cylinder(), "Cylinder", dir);
        Save(PrimitiveMeshes::HalfSphere(), "HalfSphere", dir);
        Save(PrimitiveMeshes::Triangle(), "Triangle", dir);
        Save(PrimitiveMeshes::Plane(), "Plane", dir);
        Save(PrimitiveMeshes::Grass(), "Grass", dir);
        Gun(dir);
    } catch (const std::exception& e) {
        std::cerr << "gen_meshes: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
