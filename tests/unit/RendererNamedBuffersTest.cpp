#include "app/GpuContext.h"
#include "renderer/NamedBuffers.h"
#include "support/MessageOf.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

// Named buffers backed by host arrays: the table's bookkeeping without a device.
class RendererNamedBuffers : public ::testing::Test {
protected:
    RendererNamedBuffers()
    {
        std::vector<UniformBufferFrame> frames(MaxFramesInFlight);
        for (uint32_t i = 0; i < MaxFramesInFlight; ++i) {
            memory[i].fill(0xAA);
            frames[i].size = 8; // the last 8 bytes of each array lie past the buffer's end
            frames[i].stride = 4;
            frames[i].mapped = memory[i].data();
        }
        gpu.namedBuffers.emplace("DYN_BaseShader", std::move(frames));
    }
    ~RendererNamedBuffers() override { gpu.namedBuffers.clear(); }

    std::array<std::array<uint8_t, 16>, MaxFramesInFlight> memory;
};

} // namespace

TEST_F(RendererNamedBuffers, UpdateWritesOnlyTheFramesBufferFromItsStartAndNeverPastItsEnd)
{
    const std::array<uint8_t, 12> records = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    UpdateNamedBuffer("DYN_BaseShader", 1, records.data(), uint32_t(records.size()));
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(memory[1][i], records[i]);
    for (size_t i = 8; i < 16; ++i)
        EXPECT_EQ(memory[1][i], 0xAA) << "byte " << i << " past the buffer was written";
    for (uint8_t byte : memory[0])
        EXPECT_EQ(byte, 0xAA); // the other frame's copy is untouched
}

TEST_F(RendererNamedBuffers, CreatingAnExistingNameLeavesItsBuffersAlone)
{
    void* before = GetUniformBufferFrames("DYN_BaseShader")[0].mapped;
    CreateNamedBuffer("DYN_BaseShader", 4096, 256, false);
    EXPECT_EQ(GetUniformBufferFrames("DYN_BaseShader")[0].mapped, before);
    EXPECT_EQ(GetUniformBufferFrames("DYN_BaseShader")[0].size, 8u);
    EXPECT_EQ(GetUniformBufferFrames("DYN_BaseShader").size(), size_t(MaxFramesInFlight));
}

TEST_F(RendererNamedBuffers, UnknownNamesThrowTheSystemsMessages)
{
    const uint8_t byte = 0;
    EXPECT_EQ(MessageOf([&] { UpdateNamedBuffer("CameraBuffer", 0, &byte, 1); }), "Cant find buffer name in map");
    EXPECT_EQ(MessageOf([] { GetUniformBufferFrames("CameraBuffer"); }), "Buffer name does not exist in map");
}
