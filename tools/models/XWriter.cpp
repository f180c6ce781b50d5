#include "tools/models/XWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>

namespace {

// The file is left-handed: z is mirrored, and with it every matrix (S M S) and triangle winding.
glm::vec3 Mirror(const glm::vec3& v)
{
    return {v.x, v.y, -v.z};
}

glm::mat4 Mirror(const glm::mat4& m)
{
    const glm::mat4 s =
        glm::mat4(glm::vec4(1, 0, 0, 0), glm::vec4(0, 1, 0, 0), glm::vec4(0, 0, -1, 0), glm::vec4(0, 0, 0, 1));
    return s * m * s;
}

class TextOut {
public:
    void Line(int depth, const std::string& s)
    {
        text.append(static_cast<size_t>(depth), ' ');
        text += s;
        text += '\n';
    }
    std::string text;
};

// assimp's number parser reads "1,0" as 1.0, so every list separator carries a space.
std::string Num(float v)
{
    if (!std::isfinite(v))
        throw std::invalid_argument("non-finite number in .x scene");
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(v));
    return buf;
}

std::string Join(std::initializer_list<float> values)
{
    std::string s;
    for (float v : values) {
        if (!s.empty())
            s += ", ";
        s += Num(v);
    }
    return s;
}

// Frames and bones become identifiers in the file; anything else would break its tokenizer.
void CheckName(const std::string& name, const char* what)
{
    const bool ok = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
                    std::all_of(name.begin(), name.end(),
                                [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
    if (!ok)
        throw std::invalid_argument(std::string("invalid ") + what + " name '" + name + "'");
}

void WriteMatrix(TextOut& out, int depth, const glm::mat4& m, const char* terminator)
{
    const glm::mat4 f = Mirror(m);
    std::string s;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            if (!s.empty())
                s += ", ";
            s += Num(f[c][r]);
        }
    out.Line(depth, s + terminator);
}

template <class T>
void WriteList(TextOut& out, int depth, const std::vector<T>& items, const std::function<std::string(const T&)>& row)
{
    for (size_t i = 0; i < items.size(); ++i)
        out.Line(depth, row(items[i]) + (i + 1 == items.size() ? ";;" : ";,"));
}

void CheckMesh(const XMesh& mesh)
{
    CheckName(mesh.name, "mesh");
    const size_t n = mesh.positions.size();
    if (n == 0 || mesh.triangles.empty())
        throw std::invalid_argument("mesh '" + mesh.name + "' has no geometry");
    if (mesh.normals.size() != n || (!mesh.uvs.empty() && mesh.uvs.size() != n))
        throw std::invalid_argument("mesh '" + mesh.name + "' has attribute lists of different lengths");
    for (const glm::uvec3& t : mesh.triangles)
        if (t.x >= n || t.y >= n || t.z >= n)
            throw std::invalid_argument("mesh '" + mesh.name + "' has a triangle index out of range");
    std::set<std::string> seen;
    for (const XSkinBone& bone : mesh.bones) {
        CheckName(bone.name, "bone");
        if (!seen.insert(bone.name).second)
            throw std::invalid_argument("bone '" + bone.name + "' is listed twice");
        // assimp drops a bone without weights, which would shift every later bone id.
        if (bone.vertices.empty() || bone.vertices.size() != bone.weights.size())
            throw std::invalid_argument("bone '" + bone.name + "' has no weights or mismatched weight lists");
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            if (bone.vertices[i] >= n || !(bone.weights[i] > 0.0f))
                throw std::invalid_argument("bone '" + bone.name + "' has a bad vertex index or weight");
    }
}

void WriteMesh(TextOut& out, int d, const XMesh& mesh)
{
    out.Line(d, "Mesh " + mesh.name + " {");
    out.Line(d + 1, std::to_string(mesh.positions.size()) + ";");
    WriteList<glm::vec3>(out, d + 1, mesh.positions, [](const glm::vec3& p) {
        const glm::vec3 m = Mirror(p);
        return Num(m.x) + "; " + Num(m.y) + "; " + Num(m.z);
    });
    // Mirroring z turns the winding, so each triangle is written reversed.
    const auto face = [](const glm::uvec3& t) {
        return "3; " + std::to_string(t.x) + ", " + std::to_string(t.z) + ", " + std::to_string(t.y);
    };
    out.Line(d + 1, std::to_string(mesh.triangles.size()) + ";");
    WriteList<glm::uvec3>(out, d + 1, mesh.triangles, face);

    out.Line(d + 1, "MeshNormals {");
    out.Line(d + 2, std::to_string(mesh.normals.size()) + ";");
    WriteList<glm::vec3>(out, d + 2, mesh.normals, [](const glm::vec3& n) {
        const glm::vec3 m = Mirror(n);
        return Num(m.x) + "; " + Num(m.y) + "; " + Num(m.z);
    });
    out.Line(d + 2, std::to_string(mesh.triangles.size()) + ";");
    WriteList<glm::uvec3>(out, d + 2, mesh.triangles, face);
    out.Line(d + 1, "}");

    if (!mesh.uvs.empty()) {
        out.Line(d + 1, "MeshTextureCoords {");
        out.Line(d + 2, std::to_string(mesh.uvs.size()) + ";");
        WriteList<glm::vec2>(out, d + 2, mesh.uvs, [](const glm::vec2& uv) { return Num(uv.x) + "; " + Num(uv.y); });
        out.Line(d + 1, "}");
    }

    if (mesh.bones.empty()) {
        out.Line(d, "}");
        return;
    }
    std::vector<int> perVertex(mesh.positions.size(), 0);
    for (const XSkinBone& bone : mesh.bones)
        for (uint32_t v : bone.vertices)
            ++perVertex[v];
    int perFace = 0;
    for (const glm::uvec3& t : mesh.triangles)
        perFace = std::max(perFace, perVertex[t.x] + perVertex[t.y] + perVertex[t.z]);
    out.Line(d + 1, "XSkinMeshHeader {");
    out.Line(d + 2, std::to_string(*std::max_element(perVertex.begin(), perVertex.end())) + ";");
    out.Line(d + 2, std::to_string(perFace) + ";");
    out.Line(d + 2, std::to_string(mesh.bones.size()) + ";");
    out.Line(d + 1, "}");
    for (const XSkinBone& bone : mesh.bones) {
        out.Line(d + 1, "SkinWeights {");
        out.Line(d + 2, "\"" + bone.name + "\";");
        out.Line(d + 2, std::to_string(bone.vertices.size()) + ";");
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            out.Line(d + 2, std::to_string(bone.vertices[i]) + (i + 1 == bone.vertices.size() ? ";" : ","));
        for (size_t i = 0; i < bone.weights.size(); ++i)
            out.Line(d + 2, Num(bone.weights[i]) + (i + 1 == bone.weights.size() ? ";" : ","));
        WriteMatrix(out, d + 2, bone.offset, ";;");
        out.Line(d + 1, "}");
    }
    out.Line(d, "}");
}

void WriteFrame(TextOut& out, int d, const XFrame& frame, std::set<std::string>& names)
{
    CheckName(frame.name, "frame");
    if (!names.insert(frame.name).second)
        throw std::invalid_argument("frame '" + frame.name + "' appears twice");
    out.Line(d, "Frame " + frame.name + " {");
    out.Line(d + 1, "FrameTransformMatrix {");
    WriteMatrix(out, d + 2, frame.transform, ";;");
    out.Line(d + 1, "}");
    for (const XMesh& mesh : frame.meshes) {
        CheckMesh(mesh);
        WriteMesh(out, d + 1, mesh);
    }
    for (const XFrame& child : frame.children)
        WriteFrame(out, d + 1, child, names);
    out.Line(d, "}");
}

// The clip's duration is its latest key, and the engine holds a channel's last value past its
// last key: every channel therefore spans exactly [0, duration] in whole, increasing ticks.
template <class T> void CheckKeys(const std::vector<XKey<T>>& keys, int32_t duration, const std::string& where)
{
    if (keys.empty())
        return;
    if (keys.front().tick != 0 || keys.back().tick != duration)
        throw std::invalid_argument("channel '" + where + "' does not span ticks 0 to the clip's duration");
    for (size_t i = 1; i < keys.size(); ++i)
        if (keys[i].tick <= keys[i - 1].tick)
            throw std::invalid_argument("channel '" + where + "' has key ticks out of order");
}

template <class T>
void WriteKeys(TextOut& out, int d, int type, const std::vector<XKey<T>>& keys,
               const std::function<std::string(const T&)>& value)
{
    if (keys.empty())
        return;
    out.Line(d, "AnimationKey {");
    out.Line(d + 1, std::to_string(type) + ";");
    out.Line(d + 1, std::to_string(keys.size()) + ";");
    for (size_t i = 0; i < keys.size(); ++i)
        out.Line(d + 1,
                 std::to_string(keys[i].tick) + "; " + value(keys[i].value) + (i + 1 == keys.size() ? ";;;" : ";;,"));
    out.Line(d, "}");
}

void WriteAnimation(TextOut& out, const XAnimationSet& set, const std::set<std::string>& frames)
{
    CheckName(set.name, "animation set");
    if (set.durationTicks <= 0 || set.channels.empty())
        throw std::invalid_argument("animation set '" + set.name + "' is empty");
    out.Line(0, "AnimationSet " + set.name + " {");
    for (const XChannel& ch : set.channels) {
        if (!frames.count(ch.frame))
            throw std::invalid_argument("channel for unknown frame '" + ch.frame + "'");
        if (ch.rotations.empty() && ch.positions.empty() && ch.scales.empty())
            throw std::invalid_argument("channel '" + ch.frame + "' has no keys");
        CheckKeys(ch.rotations, set.durationTicks, ch.frame);
        CheckKeys(ch.scales, set.durationTicks, ch.frame);
        CheckKeys(ch.positions, set.durationTicks, ch.frame);
        out.Line(1, "Animation {");
        out.Line(2, "{ " + ch.frame + " }");
        // The importer inverts the file's quaternion and then mirrors x and y: writing
        // (w, x, y, -z) brings back (w, x, y, z).
        WriteKeys<glm::quat>(out, 2, 0, ch.rotations, [](const glm::quat& q) {
            const glm::quat n = glm::normalize(q);
            return std::string("4; ") + Join({n.w, n.x, n.y, -n.z});
        });
        WriteKeys<glm::vec3>(out, 2, 1, ch.scales, [](const glm::vec3& s) {
            return std::string("3; ") + Join({s.x, s.y, s.z});
        });
        WriteKeys<glm::vec3>(out, 2, 2, ch.positions, [](const glm::vec3& p) {
            return std::string("3; ") + Join({p.x, p.y, -p.z});
        });
        out.Line(1, "}");
    }
    out.Line(0, "}");
}

} // namespace

std::string XWriter::ToText(const XScene& scene)
{
    if (scene.ticksPerSecond <= 0)
        throw std::invalid_argument("a .x scene needs a positive tick rate");
    TextOut out;
    out.Line(0, "xof 0303txt 0032");
    out.Line(0, "");
    std::set<std::string> frames;
    WriteFrame(out, 0, scene.root, frames);
    if (!scene.animations.empty()) {
        out.Line(0, "AnimTicksPerSecond {");
        out.Line(1, std::to_string(scene.ticksPerSecond) + ";");
        out.Line(0, "}");
        for (const XAnimationSet& set : scene.animations)
            WriteAnimation(out, set, frames);
    }
    return out.text;
}

void XWriter::Save(const XScene& scene, const std::string& path)
{
    const std::string text = ToText(scene);
    std::ofstream file(path, std::ios::binary);
    if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())))
        throw std::runtime_error("cannot write " + path);
}
