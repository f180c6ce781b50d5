// zorbulon_model_preview <output dir>
// Run from the run directory (where Assets.bin is). Draws the characters and the gun from the
// pack through the game's own loaders (mesh import, clips, bone matrices) into contact sheets:
// front, side and back views in the bind pose, poses along each clip, and the first-person view.
// With --icon <file.png> it draws only the zombie's face, 256 x 256: the installed game's icon.
#include "assets/AssetPack.h"
#include "assets/MeshComponent.h"
#include "scene/components/Animation.h"
#include "scene/components/AnimationComponent.h"
#include "tools/modelpreview/SoftRasteriser.h"

#include <glm/gtc/matrix_transform.hpp>
#include <stb_image.h>
#include <stb_image_write.h>

#include "app/IRenderer.h"

#include <algorithm>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

class PreviewRenderer : public IRenderer {
public:
    PreviewRenderer() { backend = RendererBackend::OpenGL; }
    void Init() override {}
    void RecreateFrameResources() override {}
    void ReleaseFrameResources() override {}
    void CreateUniformBuffer(const std::string&, uint32_t, uint32_t, bool) override {}
    UniformBufferFrame& GetUniformBuffer(const std::string&) override { return dummy_; }
    void UpdateUniformBuffer(const std::string&, const void*, uint32_t) override {}
    void DrawFrame(Scene*) override {}
    void UpdateUniforms(Scene*) override {}

private:
    UniformBufferFrame dummy_;
};

const float Pi = 3.14159265f;

PreviewTexture LoadTexture(const std::string& name)
{
    const std::vector<char> bytes = LoadAsset(name.c_str());
    PreviewTexture t;
    int comp = 0;
    stbi_uc* px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                                        &t.width, &t.height, &comp, 4);
    if (!px)
        throw std::runtime_error("cannot decode " + name);
    t.rgba.assign(px, px + static_cast<size_t>(t.width) * t.height * 4);
    stbi_image_free(px);
    return t;
}

struct Asset {
    std::shared_ptr<MeshComponent> mesh;
    PreviewTexture texture;
    std::map<std::string, std::shared_ptr<Animation>> clips;
};

enum class View {
    Front,
    Side,
    Back,
    ThreeQuarter,
    Face,
    FaceSide,
    Hands,
    Torso,
    FirstPerson,
    GunSide,
    GunTop,
    GunThreeQuarter
};

struct Panel {
    std::string model;
    std::string clip; // empty: bind pose
    float fraction;   // of the clip's duration
    View view;
};

// Bone matrices of a clip at a fraction of its length, as the game computes them.
void Pose(Asset& asset, const std::string& clip, float fraction, glm::mat4* bones)
{
    for (int i = 0; i < MaxBones; ++i)
        bones[i] = glm::mat4(1.0f);
    if (clip.empty())
        return;
    AnimationComponent anim(asset.clips.at(clip), 1.0f);
    // A one-shot clip rests on its last frames (the game stops one tick before the end).
    anim.currentTime = std::min(fraction * anim.currentAnimation->duration, anim.currentAnimation->duration - 0.5f);
    anim.Update(false, 0.0f);
    for (int i = 0; i < MaxBones; ++i)
        bones[i] = anim.finalBoneMatrices[i];
}

glm::vec3 BoneWorld(const MeshComponent& mesh, const glm::mat4* bones, int id)
{
    return glm::vec3((bones[id] * glm::inverse(mesh.bones[static_cast<size_t>(id)].offset))[3]);
}

void DrawMesh(SoftRasteriser& r, const MeshComponent& mesh, const glm::mat4& world, const glm::mat4* bones,
              const PreviewTexture& tex)
{
    std::vector<PreviewVertex> v(mesh.vertices.size());
    const glm::mat3 nworld = glm::transpose(glm::inverse(glm::mat3(world)));
    for (size_t i = 0; i < v.size(); ++i) {
        const Vertex& s = mesh.vertices[i];
        glm::mat4 skin(0.0f);
        float total = 0.0f;
        for (int k = 0; k < MaxBoneInfluence; ++k)
            if (s.boneIds[k] >= 0) {
                skin += s.weights[k] * bones[s.boneIds[k]];
                total += s.weights[k];
            }
        if (total <= 0.0f)
            skin = glm::mat4(1.0f);
        v[i].position = glm::vec3(world * skin * glm::vec4(s.position, 1.0f));
        v[i].normal = glm::normalize(nworld * glm::mat3(skin) * s.normal);
        v[i].uv = s.texCoords;
    }
    for (const auto& sub : mesh.meshes)
        for (uint32_t k = 0; k < sub->indexCount; k += 3) {
            const auto at = [&](uint32_t j) -> const PreviewVertex& {
                return v[static_cast<size_t>(sub->baseVertex) + mesh.indices[sub->firstIndex + k + j]];
            };
            r.Draw(at(0), at(1), at(2), &tex);
        }
}

void RenderPanel(std::map<std::string, Asset>& assets, const Panel& p, SoftRasteriser& r, float aspect)
{
    Asset& a = assets.at(p.model);
    static glm::mat4 bones[MaxBones];
    Pose(a, p.clip, p.fraction, bones);
    const glm::mat4 ortho = glm::ortho(-100.0f * aspect, 100.0f * aspect, -100.0f, 100.0f, 1.0f, 2000.0f);
    const glm::vec3 centre(0, 95, 0);
    glm::mat4 world(1.0f);
    switch (p.view) {
    case View::Front:
        r.SetCamera(ortho * glm::lookAt(centre + glm::vec3(0, 0, 500), centre, {0, 1, 0}), {0, 95, 500});
        break;
    case View::Side:
        r.SetCamera(ortho * glm::lookAt(centre + glm::vec3(500, 0, 0), centre, {0, 1, 0}), {500, 95, 0});
        break;
    case View::Back:
        r.SetCamera(ortho * glm::lookAt(centre + glm::vec3(0, 0, -500), centre, {0, 1, 0}), {0, 95, -500});
        break;
    case View::ThreeQuarter: {
        const glm::vec3 eye(180, 150, 260);
        r.SetCamera(
            glm::perspective(40.0f * Pi / 180, aspect, 10.0f, 5000.0f) * glm::lookAt(eye, {0, 100, 0}, {0, 1, 0}), eye);
        break;
    }
    case View::Face:
    case View::FaceSide: {
        const glm::vec3 head = BoneWorld(*a.mesh, bones, 2) + glm::vec3(0, 8, 0);
        const glm::vec3 dir = p.view == View::Face ? glm::vec3(0.0f, 0.05f, 1) : glm::vec3(1, 0.05f, 0.3f);
        const glm::mat4 o = glm::ortho(-16.0f * aspect, 16.0f * aspect, -16.0f, 16.0f, 1.0f, 2000.0f);
        r.SetCamera(o * glm::lookAt(head + 300.0f * glm::normalize(dir), head, {0, 1, 0}), head + 300.0f * dir);
        break;
    }
    case View::Torso: {
        const glm::vec3 chest = BoneWorld(*a.mesh, bones, 0) + glm::vec3(0, -5, 0);
        const glm::mat4 o = glm::ortho(-32.0f * aspect, 32.0f * aspect, -32.0f, 32.0f, 1.0f, 2000.0f);
        r.SetCamera(o * glm::lookAt(chest + glm::vec3(-150, 40, 260), chest, {0, 1, 0}),
                    chest + glm::vec3(-150, 40, 260));
        break;
    }
    case View::Hands: {
        const glm::vec3 mid = 0.5f * (BoneWorld(*a.mesh, bones, 8) + BoneWorld(*a.mesh, bones, 32));
        const glm::vec3 eye = mid + glm::vec3(-45, 25, 40);
        r.SetCamera(glm::perspective(40.0f * Pi / 180, aspect, 5.0f, 5000.0f) *
                        glm::lookAt(eye, mid + glm::vec3(0, 0, 5), {0, 1, 0}),
                    eye);
        break;
    }
    case View::FirstPerson: {
        // The game's camera: bone 3 plus 3 cm to the left, 70 degree vertical field, near 8 cm.
        const glm::vec3 eye = BoneWorld(*a.mesh, bones, 3) + glm::vec3(3, 0, 0);
        r.SetCamera(glm::perspective(70.0f * Pi / 180, aspect, 8.0f, 10000.0f) *
                        glm::lookAt(eye, eye + glm::vec3(0, 0, 1), {0, 1, 0}),
                    eye);
        break;
    }
    case View::GunSide:
    case View::GunTop:
    case View::GunThreeQuarter: {
        const glm::mat4 o = glm::ortho(-2.2f * aspect, 2.2f * aspect, -2.2f, 2.2f, 0.1f, 100.0f);
        const glm::vec3 eye = p.view == View::GunSide  ? glm::vec3(0, 0, 20)
                              : p.view == View::GunTop ? glm::vec3(0, 20, 0.01f)
                                                       : glm::vec3(-12, 8, 14);
        r.SetCamera(o * glm::lookAt(eye, {0, 0, 0}, {0, 1, 0}), eye);
        break;
    }
    }
    DrawMesh(r, *a.mesh, world, bones, a.texture);
    if (p.model == "Drevik" && assets.count("BubbleGun")) {
        // The gun as the game carries it: hands' midpoint plus 8 cm forward, turned 90 degrees about +Y.
        Asset& gun = assets.at("BubbleGun");
        const glm::vec3 mid =
            0.5f * (BoneWorld(*a.mesh, bones, 8) + BoneWorld(*a.mesh, bones, 32)) + glm::vec3(0, 0, 8);
        const glm::mat4 g = glm::translate(glm::mat4(1.0f), mid) * glm::rotate(glm::mat4(1.0f), Pi / 2, {0, 1, 0}) *
                            glm::scale(glm::mat4(1.0f), glm::vec3(9.0f));
        static glm::mat4 identity[MaxBones];
        for (glm::mat4& m : identity)
            m = glm::mat4(1.0f);
        DrawMesh(r, *gun.mesh, g, identity, gun.texture);
    }
}

void Sheet(std::map<std::string, Asset>& assets, const std::vector<Panel>& panels, int columns, const std::string& path,
           int PanelW = 300, int PanelH = 400)
{
    const int rows = (static_cast<int>(panels.size()) + columns - 1) / columns;
    std::vector<uint8_t> sheet(static_cast<size_t>(columns * PanelW) * rows * PanelH * 3, 0);
    int culled = 0, drawn = 0;
    for (size_t i = 0; i < panels.size(); ++i) {
        const bool fp = panels[i].view == View::FirstPerson;
        SoftRasteriser r(PanelW, PanelH, fp ? glm::vec3(0.05f, 0.06f, 0.09f) : glm::vec3(0.18f, 0.20f, 0.24f));
        RenderPanel(assets, panels[i], r, static_cast<float>(PanelW) / static_cast<float>(PanelH));
        culled += r.culled;
        drawn += r.drawn;
        r.Blit(sheet, columns * PanelW, static_cast<int>(i % columns) * PanelW, static_cast<int>(i / columns) * PanelH);
    }
    stbi_write_png(path.c_str(), columns * PanelW, rows * PanelH, 3, sheet.data(), columns * PanelW * 3);
    std::cout << path << ": " << drawn << " triangles drawn, " << culled << " culled\n";
}

} // namespace

int main(int argc, char** argv)
{
    const bool icon = argc == 3 && std::string(argv[1]) == "--icon";
    if (argc != 2 && !icon) {
        std::cerr << "usage: " << argv[0] << " <output dir> | --icon <file.png>   (run where Assets.bin is)\n";
        return 2;
    }
    try {
        PreviewRenderer renderer;
        std::map<std::string, Asset> assets;
        const std::map<std::string, std::pair<std::string, std::vector<std::string>>> wanted = {
            {"Drevik", {"DrevikDiff", {"DrevikIdle", "DrevikWalk", "DrevikDeath"}}},
            {"Zombie", {"ZombieDiff", {"ZombieIdle", "ZombieWalking", "ZombieRun", "ZombieAttack", "ZombieDeath"}}},
            {"BubbleGun", {"BubblgunDiffuse", {}}}};
        for (const auto& [name, what] : wanted) {
            Asset a;
            try {
                a.mesh = std::make_shared<MeshComponent>(&renderer, name.c_str());
                a.texture = LoadTexture(what.first);
                for (const std::string& clip : what.second) {
                    try {
                        a.clips[clip] = std::make_shared<Animation>(clip.c_str(), a.mesh);
                    } catch (const std::exception& e) {
                        std::cerr << "no clip " << clip << ": " << e.what() << "\n";
                    }
                }
            } catch (const std::exception& e) {
                std::cerr << "skipping " << name << ": " << e.what() << "\n";
                continue;
            }
            assets.emplace(name, std::move(a));
        }
        if (icon) {
            if (!assets.count("Zombie"))
                throw std::runtime_error("the pack has no zombie to draw the icon from");
            Sheet(assets, {{"Zombie", "", 0, View::Face}}, 1, argv[2], 256, 256);
            return 0;
        }
        const std::string out = argv[1];
        if (assets.count("Drevik")) {
            std::vector<Panel> bind = {{"Drevik", "", 0, View::Front},
                                       {"Drevik", "", 0, View::Side},
                                       {"Drevik", "", 0, View::Back},
                                       {"Drevik", "", 0, View::ThreeQuarter}};
            Sheet(assets, bind, 4, out + "/drevik_bind.png");
            Sheet(assets,
                  {{"Drevik", "", 0, View::Face},
                   {"Drevik", "", 0, View::FaceSide},
                   {"Drevik", "", 0, View::Hands},
                   {"Drevik", "", 0, View::Torso}},
                  4, out + "/drevik_detail.png", 400, 400);
            std::vector<Panel> fp = {{"Drevik", "", 0, View::FirstPerson}};
            if (assets.at("Drevik").clips.size() == 3) {
                fp.push_back({"Drevik", "DrevikIdle", 0.5f, View::FirstPerson});
                fp.push_back({"Drevik", "DrevikWalk", 0.2f, View::FirstPerson});
                fp.push_back({"Drevik", "DrevikWalk", 0.7f, View::FirstPerson});
                std::vector<Panel> clips;
                for (float f : {0.0f, 0.15f, 0.35f, 0.5f, 0.65f, 0.85f})
                    clips.push_back({"Drevik", "DrevikWalk", f, View::Side});
                clips.push_back({"Drevik", "DrevikIdle", 0.5f, View::Front});
                clips.push_back({"Drevik", "DrevikWalk", 0.35f, View::ThreeQuarter});
                for (float f : {0.25f, 0.5f, 0.75f, 1.0f})
                    clips.push_back({"Drevik", "DrevikDeath", f, View::Side});
                Sheet(assets, clips, 4, out + "/drevik_clips.png");
            }
            Sheet(assets, fp, 2, out + "/drevik_firstperson.png", 640, 360);
        }
        if (assets.count("Zombie")) {
            std::vector<Panel> bind = {{"Zombie", "", 0, View::Front},
                                       {"Zombie", "", 0, View::Side},
                                       {"Zombie", "", 0, View::Back},
                                       {"Zombie", "", 0, View::ThreeQuarter}};
            Sheet(assets, bind, 4, out + "/zombie_bind.png");
            Sheet(assets,
                  {{"Zombie", "", 0, View::Face},
                   {"Zombie", "", 0, View::FaceSide},
                   {"Zombie", "", 0, View::Hands},
                   {"Zombie", "", 0, View::Torso}},
                  4, out + "/zombie_detail.png", 400, 400);
            if (assets.at("Zombie").clips.size() == 5) {
                std::vector<Panel> clips;
                for (float f : {0.0f, 3.0f / 24.0f, 6.0f / 24.0f, 10.0f / 24.0f, 0.6f, 0.9f})
                    clips.push_back({"Zombie", "ZombieAttack", f, View::Side});
                for (float f : {0.0f, 0.25f, 0.5f, 0.75f})
                    clips.push_back({"Zombie", "ZombieWalking", f, View::Side});
                for (float f : {0.0f, 0.5f})
                    clips.push_back({"Zombie", "ZombieRun", f, View::Side});
                clips.push_back({"Zombie", "ZombieIdle", 0.5f, View::ThreeQuarter});
                for (float f : {0.3f, 0.6f, 1.0f})
                    clips.push_back({"Zombie", "ZombieDeath", f, View::Side});
                Sheet(assets, clips, 4, out + "/zombie_clips.png");
            }
        }
        if (assets.count("BubbleGun")) {
            std::vector<Panel> gun = {{"BubbleGun", "", 0, View::GunSide},
                                      {"BubbleGun", "", 0, View::GunTop},
                                      {"BubbleGun", "", 0, View::GunThreeQuarter}};
            Sheet(assets, gun, 3, out + "/gun.png", 400, 400);
        }
    } catch (const std::exception& e) {
        std::cerr << "model_preview: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
