#include "renderer/FrameUniformPacker.h"

#include "renderer/ObjectRecords.h"
#include "renderer/UniformLayout.h"
#include "renderer/shader/ShaderComponent.h"
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

// Which of this frame's opaque dynamic blocks a shader's dynamic block name selects.
std::optional<ObjectBlock> OpaqueDynamicBlock(const ShaderComponent& shader)
{
    if (!shader.hasDynamicBlock)
        return std::nullopt;
    for (ObjectBlock block : {ObjectBlock::Base, ObjectBlock::Pbr, ObjectBlock::Anim})
        if (shader.dynamicBlockName == ObjectBlockName(block))
            return block;
    return std::nullopt;
}

} // namespace

void FrameUniformPacker::PackShader(const std::vector<Actor*>& actors, const ShaderComponent* shader)
{
    // Name comparisons once per shader, not per actor.
    const std::optional<ObjectBlock> dynamicBlock = OpaqueDynamicBlock(*shader);
    const bool animStorage =
        shader->hasStorageBlock && shader->storageBlockName == ObjectBlockName(ObjectBlock::AnimStorage);
    uint32_t uniformCounter = 0;
    uint32_t storageCounter = 0;
    for (Actor* actor : actors) {
        if (!Drawn(*actor) || actor->GetComponent<ShaderComponent>().get() != shader)
            continue;
        if (dynamicBlock == ObjectBlock::Base)
            Append(ObjectBlock::Base, MakeBaseRecord(*actor));
        else if (dynamicBlock == ObjectBlock::Pbr)
            Append(ObjectBlock::Pbr, MakePbrRecord(*actor));
        else if (dynamicBlock == ObjectBlock::Anim)
            Append(ObjectBlock::Anim, MakeAnimRecord(*actor));
        if (animStorage) {
            FillAnimStorageRecord(*actor, storageScratch);
            Append(ObjectBlock::AnimStorage, storageScratch);
            actor->storageIndex = storageCounter++;
        }
        actor->uniformIndex = uniformCounter++;
    }
}

void FrameUniformPacker::Pack(const std::vector<Actor*>& actors, const std::vector<Actor*>& transparentActors,
                              const std::vector<const ShaderComponent*>& opaqueShaders,
                              const ShaderComponent* billboardShader)
{
    for (std::vector<uint8_t>& array : bytes)
        array.clear();

    for (const ShaderComponent* shader : opaqueShaders)
        PackShader(actors, shader);

    const bool billboardRecords = billboardShader && billboardShader->hasDynamicBlock &&
                                  billboardShader->dynamicBlockName == ObjectBlockName(ObjectBlock::BillBoardPbr);
    uint32_t counter = 0;
    for (Actor* actor : transparentActors) {
        if (!Drawn(*actor))
            continue;
        if (billboardRecords)
            Append(ObjectBlock::BillBoardPbr, MakePbrRecord(*actor));
        actor->uniformIndex = counter++;
    }
}
