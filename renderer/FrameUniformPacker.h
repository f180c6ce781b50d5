// Packs one frame's per-object records into plain byte arrays, one per per-object block, and
// gives every drawn actor its record numbers (uniformIndex, storageIndex). The renderer uploads
// the non-empty arrays; the arrays keep their capacity, and are given room up front for every
// record their buffers hold, so frames allocate nothing even when more actors come into play.
#pragma once

#include "renderer/UniformRecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class SceneDrawLists;
struct ShaderPass;

// The per-object blocks the renderer fills, in upload order.
enum class ObjectBlock : uint8_t { Base, Pbr, BillBoardPbr, Anim, AnimStorage };
inline constexpr size_t ObjectBlockCount = 5;

// "DYN_BaseShader", "DYN_PBRShader", "DYN_BillBoardPBRShader", "DYN_AnimPBRShader", "SSBO_AnimPBRShader".
const char* ObjectBlockName(ObjectBlock block);

class FrameUniformPacker {
public:
    // alignment: the device's minUniformBufferOffsetAlignment (dynamic records are padded to it).
    explicit FrameUniformPacker(uint32_t alignment);

    // Every pass that packs the actors list numbers its own actors from 0 in list order; the
    // billboard records come from every drawn actor of the transparent list in this frame's
    // order, numbered from 0. Invisible and hidden actors get no record.
    void Pack(const SceneDrawLists& lists);

    // Room for `size` bytes in the array of the block named `blockName` (other names are not
    // per-object blocks and are ignored): what the block's buffer holds.
    void Reserve(const std::string& blockName, size_t size);

    const std::vector<uint8_t>& Bytes(ObjectBlock block) const { return bytes[static_cast<size_t>(block)]; }
    // Record stride in the block's array: dynamic records aligned, storage records packed.
    uint32_t Stride(ObjectBlock block) const { return strides[static_cast<size_t>(block)]; }

private:
    template <class Record> void Append(ObjectBlock block, const Record& record);
    void PackPass(const ShaderPass& pass);

    std::array<std::vector<uint8_t>, ObjectBlockCount> bytes;
    std::array<uint32_t, ObjectBlockCount> strides{};
    AnimStorageRecord storageScratch; // 6.5 KB: kept here rather than on the stack per actor
};
