// Content for renderer and scene tests: the pack in the run directory where it has an asset,
// small generated stand-ins (OBJ meshes, PPM images, test-only SPIR-V) where it has not, written
// into a pack of the test's own.
#pragma once

#include "assets/AssetPack.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#ifndef ZORBULON_TEST_SHADER_DIR
#error "ZORBULON_TEST_SHADER_DIR names the build folder of the test-only shaders"
#endif

namespace testcontent {

using Bytes = std::string;
using Pack = std::map<std::string, Bytes>;

// Every asset of the pack in the current directory (none when there is no pack).
inline Pack ReadPackInWorkingDirectory()
{
    Pack pack;
    std::ifstream index("AssetsOffsets.bin");
    std::string line;
    while (std::getline(index, line))
        if (line.rfind("NAME: ", 0) == 0) {
            const std::string name = line.substr(6);
            const std::vector<char> bytes = LoadAsset(name.c_str());
            pack[name] = Bytes(bytes.begin(), bytes.end());
        }
    return pack;
}

// Writes Assets.bin and AssetsOffsets.bin into `dir`.
inline void WritePack(const std::filesystem::path& dir, const Pack& pack)
{
    std::ofstream data(dir / "Assets.bin", std::ios::binary | std::ios::trunc);
    std::ofstream index(dir / "AssetsOffsets.bin", std::ios::binary | std::ios::trunc);
    int64_t offset = 0;
    for (const auto& [name, bytes] : pack) {
        data.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        index << "NAME: " << name << "\nstart: " << offset << "\nend: " << offset + int64_t(bytes.size()) << "\n";
        offset += int64_t(bytes.size());
    }
}

struct ObjVertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;
};

// Wavefront OBJ text of a triangle list; each triangle is turned to face along its vertices'
// normals (counter-clockwise seen from outside).
inline Bytes Obj(const std::vector<ObjVertex>& vertices, std::vector<uint32_t> indices)
{
    std::ostringstream out;
    out << "o mesh\n";
    for (const ObjVertex& v : vertices)
        out << "v " << v.position.x << " " << v.position.y << " " << v.position.z << "\n";
    for (const ObjVertex& v : vertices)
        out << "vt " << v.uv.x << " " << v.uv.y << "\n";
    for (const ObjVertex& v : vertices)
        out << "vn " << v.normal.x << " " << v.normal.y << " " << v.normal.z << "\n";
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const ObjVertex& a = vertices[indices[t]];
        const ObjVertex& b = vertices[indices[t + 1]];
        const ObjVertex& c = vertices[indices[t + 2]];
        const glm::vec3 facing = glm::cross(b.position - a.position, c.position - a.position);
        if (glm::dot(facing, a.normal + b.normal + c.normal) < 0.0f)
            std::swap(indices[t + 1], indices[t + 2]);
        out << "f";
        for (int k = 0; k < 3; ++k) {
            const uint32_t i = indices[t + k] + 1;
            out << " " << i << "/" << i << "/" << i;
        }
        out << "\n";
    }
    return out.str();
}

// Appends a quad (two triangles) of four corners with one normal.
inline void AddQuad(std::vector<ObjVertex>& vertices, std::vector<uint32_t>& indices, const glm::vec3 corners[4],
                    const glm::vec3& normal)
{
    const uint32_t base = static_cast<uint32_t>(vertices.size());
    const glm::vec2 uvs[4] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (int i = 0; i < 4; ++i)
        vertices.push_back({corners[i], normal, uvs[i]});
    for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u})
        indices.push_back(base + i);
}

// [-1, 1] on every axis.
inline Bytes CubeObj()
{
    std::vector<ObjVertex> vertices;
    std::vector<uint32_t> indices;
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {-1.0f, 1.0f}) {
            glm::vec3 normal(0.0f);
            normal[axis] = side;
            const int u = (axis + 1) % 3, v = (axis + 2) % 3;
            glm::vec3 corners[4];
            const float us[4] = {-1, 1, 1, -1}, vs[4] = {-1, -1, 1, 1};
            for (int i = 0; i < 4; ++i) {
                corners[i][axis] = side;
                corners[i][u] = us[i];
                corners[i][v] = vs[i];
            }
            AddQuad(vertices, indices, corners, normal);
        }
    return Obj(vertices, indices);
}

// Radius 1, 16 slices by 12 stacks.
inline Bytes SphereObj()
{
    constexpr int Slices = 16, Stacks = 12;
    constexpr float Pi = 3.14159265f;
    std::vector<ObjVertex> vertices;
    std::vector<uint32_t> indices;
    for (int i = 0; i <= Stacks; ++i)
        for (int j = 0; j <= Slices; ++j) {
            const float theta = Pi * float(i) / Stacks, phi = 2.0f * Pi * float(j) / Slices;
            const glm::vec3 p(std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi));
            vertices.push_back({p, p, {float(j) / Slices, float(i) / Stacks}});
        }
    for (int i = 0; i < Stacks; ++i)
        for (int j = 0; j < Slices; ++j) {
            const uint32_t a = i * (Slices + 1) + j, b = a + Slices + 1;
            if (i > 0)
                indices.insert(indices.end(), {a, b, a + 1});
            if (i < Stacks - 1)
                indices.insert(indices.end(), {a + 1, b, b + 1});
        }
    return Obj(vertices, indices);
}

// [-1, 1] in x and z at y = 0, facing +y.
inline Bytes PlaneObj()
{
    std::vector<ObjVertex> vertices;
    std::vector<uint32_t> indices;
    const glm::vec3 corners[4] = {{-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}};
    AddQuad(vertices, indices, corners, {0, 1, 0});
    return Obj(vertices, indices);
}

// Two crossed quads, 2 tall, base at y = 0, each side facing out.
inline Bytes GrassObj()
{
    std::vector<ObjVertex> vertices;
    std::vector<uint32_t> indices;
    for (float side : {-1.0f, 1.0f}) {
        const glm::vec3 alongX[4] = {{-1, 0, 0}, {1, 0, 0}, {1, 2, 0}, {-1, 2, 0}};
        AddQuad(vertices, indices, alongX, {0, 0, side});
        const glm::vec3 alongZ[4] = {{0, 0, -1}, {0, 0, 1}, {0, 2, 1}, {0, 2, -1}};
        AddQuad(vertices, indices, alongZ, {side, 0, 0});
    }
    return Obj(vertices, indices);
}

// A binary PPM image (stb_image reads it) from a colour function of the pixel.
inline Bytes Ppm(int width, int height, const std::function<glm::u8vec3(int, int)>& colour)
{
    Bytes bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const glm::u8vec3 c = colour(x, y);
            bytes += char(c.r);
            bytes += char(c.g);
            bytes += char(c.b);
        }
    return bytes;
}

inline Bytes SolidPpm(glm::u8vec3 colour)
{
    return Ppm(8, 8, [colour](int, int) { return colour; });
}

// A clearly blue sky, lighter towards the top of each face.
inline glm::u8vec3 SkyColour(int, int y)
{
    return {uint8_t(20 + y), uint8_t(40 + y), uint8_t(170 + y)};
}

// Stand-ins for every asset the stand-in scene asks for except the animated character.
inline Pack FallbackContent()
{
    Pack pack;
    pack["Cube"] = CubeObj();
    pack["Sphere"] = SphereObj();
    pack["Plane"] = PlaneObj();
    pack["Grass"] = GrassObj();
    pack["GroundTexture"] = Ppm(64, 64, [](int x, int y) {
        return ((x / 8 + y / 8) % 2) ? glm::u8vec3{110, 90, 60} : glm::u8vec3{70, 110, 50};
    });
    const glm::u8vec3 flatNormal{128, 128, 255};
    pack["GroundNormalTexture"] = SolidPpm(flatNormal);
    pack["GrassDiffuseTexture"] = SolidPpm({60, 150, 40});
    pack["GrassNormalTexture"] = SolidPpm(flatNormal);
    pack["GrassAlphaTexture"] = Ppm(16, 16, [](int x, int) {
        return (x % 4 < 2) ? glm::u8vec3{255, 255, 255} : glm::u8vec3{0, 0, 0};
    });
    pack["MoonTexture"] = Ppm(32, 32, [](int x, int y) {
        const uint8_t v = ((x * 7 + y * 13) % 11 < 3) ? 150 : 210;
        return glm::u8vec3{v, v, v};
    });
    for (const char* face : {"px", "nx", "py", "ny", "pz", "nz"})
        pack[std::string("SkyBox") + face] = Ppm(32, 32, SkyColour);
    return pack;
}

// The test-only SPIR-V of the six programs, as "<Program>vert" / "<Program>frag".
inline Pack TestShaders()
{
    Pack pack;
    for (const char* program :
         {"SkyBoxShader", "BaseShader", "PBRShader", "AnimPBRShader", "CollisionShader", "BillBoardPBRShader"})
        for (const char* stage : {"vert", "frag"}) {
            std::ifstream in(std::filesystem::path(ZORBULON_TEST_SHADER_DIR) /
                                 (std::string(program) + "." + stage + ".spv"),
                             std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            pack[std::string(program) + stage] = bytes.str();
        }
    return pack;
}

// The run directory's pack where it has an asset, the stand-ins elsewhere.
inline Pack ContentWithFallbacks(const Pack& real)
{
    Pack pack = real;
    for (const Pack& extra : {FallbackContent(), TestShaders()})
        for (const auto& [name, bytes] : extra)
            pack.emplace(name, bytes); // keeps the real asset when there is one
    return pack;
}

} // namespace testcontent
