// Fixture for the still-image transport run from the product's objects
// linked into the test: the stand-ins, a reset camera, and at the end a
// check that no service object, device lock or transfer buffer is left.
#pragma once

#include <memory>

#include "sti/sti_private.h"
#include "tests/support/camera_world.h"
#include "tests/support/heap_blocks.h"

class StiTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        world_ = std::make_unique<bvtest::StandIns>();
        if (!world_->stillImageIsStandIn())
            GTEST_SKIP() << "the Still Image stand-in is not the Sti.dll loaded "
                            "(run with WINEDLLOVERRIDES=sti=n beside Sti.dll)";
        chunkBlocks_ = bvtest::liveGuardedBlocks(bv::kChunkSize + bv::kBufferPadding);
    }

    void TearDown() override {
        if (world_->stillImageIsStandIn()) {
            EXPECT_EQ(0, simCounter("sti.locks")) << "a device lock outlived the test";
            EXPECT_EQ(chunkBlocks_, bvtest::liveGuardedBlocks(bv::kChunkSize + bv::kBufferPadding))
                << "a transfer buffer was not released";
            bv::releaseStiObjects();
            EXPECT_EQ(0, simCounter("sti.instances"));
            EXPECT_EQ(0, simCounter("sti.devices"));
        }
        world_.reset();
    }

    HMODULE stiModule() const { return world_->stillImage(); }

    void openCamera() { ASSERT_EQ(0u, bv::openDeviceByModel(stiModule(), bvtest::kModelName)); }

    static std::vector<BYTE> writtenToDevice() {
        std::vector<BYTE> data(simWrittenBulk(nullptr, 0));
        simWrittenBulk(data.data(), static_cast<DWORD>(data.size()));
        return data;
    }

private:
    std::unique_ptr<bvtest::StandIns> world_;
    size_t chunkBlocks_ = 0;
};
