#include "tools/models/CharacterExport.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

XFrame FrameTree(const Skeleton& sk, int bone)
{
    XFrame f;
    f.name = sk.bones[static_cast<size_t>(bone)].name;
    f.transform = glm::translate(glm::mat4(1.0f), sk.LocalOffset(bone));
    for (int child : sk.Children(bone))
        f.children.push_back(FrameTree(sk, child));
    return f;
}

XScene Skeletal(const Skeleton& sk)
{
    XScene scene;
    scene.root.name = "Root";
    scene.root.children.push_back(FrameTree(sk, sk.Root()));
    return scene;
}

} // namespace

Pose CharacterExport::BindPose(const Skeleton& skeleton)
{
    Pose p;
    p.rotation.assign(skeleton.bones.size(), glm::quat(1, 0, 0, 0));
    return p;
}

std::vector<glm::mat4> CharacterExport::Globals(const Skeleton& sk, const Pose& pose)
{
    std::vector<glm::mat4> g(sk.bones.size());
    std::vector<bool> done(sk.bones.size(), false);
    std::function<const glm::mat4&(int)> global = [&](int b) -> const glm::mat4& {
        const size_t i = static_cast<size_t>(b);
        if (!done[i]) {
            glm::vec3 t = sk.LocalOffset(b);
            if (b == sk.Root())
                t += pose.hipsOffset;
            const glm::mat4 local = glm::translate(glm::mat4(1.0f), t) * glm::mat4_cast(pose.rotation[i]);
            g[i] = sk.bones[i].parent < 0 ? local : global(sk.bones[i].parent) * local;
            done[i] = true;
        }
        return g[i];
    };
    for (size_t b = 0; b < sk.bones.size(); ++b)
        global(static_cast<int>(b));
    return g;
}

XScene CharacterExport::Model(const CharacterDesign& design, const ModelMesh& mesh, const std::vector<VertexSkin>& skin)
{
    const Skeleton& sk = design.skeleton;
    XScene scene = Skeletal(sk);
    XMesh x;
    x.name = design.name + "Mesh";
    x.positions = mesh.positions;
    x.normals = mesh.normals;
    x.uvs = mesh.uvs;
    x.triangles = mesh.triangles;
    // Written in id order: the import numbers bones by first appearance.
    for (size_t b = 0; b < sk.bones.size(); ++b) {
        XSkinBone bone;
        bone.name = sk.bones[b].name;
        bone.offset = glm::translate(glm::mat4(1.0f), -sk.bones[b].joint);
        for (size_t v = 0; v < skin.size(); ++v)
            for (int k = 0; k < 4; ++k)
                if (skin[v].bones[static_cast<size_t>(k)] == static_cast<int>(b)) {
                    bone.vertices.push_back(static_cast<uint32_t>(v));
                    bone.weights.push_back(skin[v].weights[static_cast<size_t>(k)]);
                }
        x.bones.push_back(std::move(bone));
    }
    scene.root.meshes.push_back(std::move(x));
    // assimp reads bone weights only from files that hold an animation.
    const XScene bind = Clip(design, "Bind", 1, [&sk](float) { return BindPose(sk); });
    scene.animations = bind.animations;
    return scene;
}

XScene CharacterExport::Clip(const CharacterDesign& design, const std::string& name, int durationTicks,
                             const PoseAt& pose)
{
    const Skeleton& sk = design.skeleton;
    XScene scene = Skeletal(sk);
    XAnimationSet set;
    set.name = name;
    set.durationTicks = durationTicks;
    std::vector<Pose> samples;
    for (int t = 0; t <= durationTicks; ++t)
        samples.push_back(pose(static_cast<float>(t)));
    for (size_t b = 0; b < sk.bones.size(); ++b) {
        XChannel ch;
        ch.frame = sk.bones[b].name;
        const bool root = static_cast<int>(b) == sk.Root();
        for (int t = 0; t <= durationTicks; ++t) {
            const Pose& p = samples[static_cast<size_t>(t)];
            ch.rotations.push_back({t, p.rotation[b]});
            if (root || t == 0 || t == durationTicks)
                ch.positions.push_back(
                    {t, sk.LocalOffset(static_cast<int>(b)) + (root ? p.hipsOffset : glm::vec3(0.0f))});
        }
        ch.scales = {{0, glm::vec3(1.0f)}, {durationTicks, glm::vec3(1.0f)}};
        set.channels.push_back(std::move(ch));
    }
    scene.animations.push_back(std::move(set));
    return scene;
}
