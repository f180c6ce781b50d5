#include "renderer/FrameUniformPacker.h"

#include "renderer/ObjectRecords.h"
#include "renderer/UniformLayout.h"
#include "renderer/SceneDrawLists.h"
#include "scene/actors/Actor.h"

#include <cstring>

const char* ObjectBlockName(ObjectBlock block)
{
    switch (block) {
    case ObjectBlock::Base:
        return "DYN_BaseShader";
    case ObjectBlock::Pbr:
        return "DYN_PBRShader";
    case ObjectBlock::BillBoardPbr:
        return "DYN_BillBoardPBRShader";
    case ObjectBlock::Anim:
        return "DYN_AnimPBRShader";
    case ObjectBlock::AnimStorage:
        return "SSBO_AnimPBRShader";
    }
    return "";
}

FrameUniformPacker::FrameUniformPacker(uint32_t alignment)
{
    strides[size_t(ObjectBlock::Base)] = AlignStride(sizeof(BaseRecord), alignment);
    strides[size_t(ObjectBlock::Pbr)] = AlignStride(sizeof(PbrRecord), alignment);
    strides[size_t(ObjectBlock::BillBoardPbr)] = AlignStride(sizeof(PbrRecord), alignment);
    strides[size_t(ObjectBlock::Anim)] = AlignStride(sizeof(AnimRecord), alignment);
    strides[size_t(ObjectBlock::AnimStorage)] = sizeof(AnimStorageRecord);
}

void FrameUniformPacker::Reserve(const std::string& blockName, size_t size)
{
    for (size_t i = 0; i < ObjectBlockCount; ++i)
        if (blockName == ObjectBlockName(static_cast<ObjectBlock>(i)))
            bytes[i].reserve(size);
}

template <class Record> void FrameUniformPacker::Append(ObjectBlock block, const Record& record)
{
    std::vector<uint8_t>& array = bytes[size_t(block)];
    const size_t offset = array.size();
    array.resize(offset + strides[size_t(block)]); // the padding up to the stride stays zero
    std::memcpy(array.data() + offset, &record, sizeof(Record));
}

namespace {

bool Drawn(const Actor& actor)
{
    return actor.visible && !actor.hidden;
}

} // namespace

void FrameUniformPacker::PackPass(const ShaderPass& pass)
{
    uint32_t uniformCounter = 0;
    uint32_t storageCounter = 0;
    for (const DrawItem& item : pass.items) {
        Actor& actor = *item.actor;
        if (!Drawn(actor))
            continue;
        if (pass.recordBlock == ObjectBlock::Base)
            Append(ObjectBlock::Base, MakeBaseRecord(item));
        else if (pass.recordBlock == ObjectBlock::Pbr)
            Append(ObjectBlock::Pbr, MakePbrRecord(item));
        else if (pass.recordBlock == ObjectBlock::Anim)
            Append(ObjectBlock::Anim, MakeAnimRecord(item));
        if (pass.animStorage) {
            FillAnimStorageRecord(item, storageScratch);
            Append(ObjectBlock::AnimStorage, storageScratch);
            actor.storageIndex = storageCounter++;
        }
        actor.uniformIndex = uniformCounter++;
    }
}

void FrameUniformPacker::Pack(const SceneDrawLists& lists)
{
    for (std::vector<uint8_t>& array : bytes)
        array.clear();

    for (const ShaderPass& pass : lists.Passes())
        if (pass.packsOpaque)
            PackPass(pass);

    uint32_t counter = 0;
    for (const DrawItem* item : lists.TransparentOrder()) {
        if (!Drawn(*item->actor))
            continue;
        if (lists.BillboardRecords())
            Append(ObjectBlock::BillBoardPbr, MakePbrRecord(*item));
        item->actor->uniformIndex = counter++;
    }
}
