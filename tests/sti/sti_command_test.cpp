// The command exchange: locking around it, the vendor-error rule and the capacity
// test of raw reads and writes.
#include <string>

#include "sti_fixture.h"

namespace {

using bvtest::reached;

bv::requestBlock connectCommand() { return bv::requestBlock{1, 4, nullptr}; }

// The transport's exchanges, each with the stand-in step it runs.
BYTE g_buffer[8];
const struct { const char* step; DWORD (*call)(); } kExchanges[] = {
    {"sti.escape", [] { const auto r = connectCommand(); return bv::DoBvNonStreamCommand(&r, nullptr, 0); }},
    {"sti.lock", bv::lockStiDevice},
    {"sti.unlock", bv::unlockStiDevice},
    {"sti.rawRead", [] { DWORD n = 8; return bv::ReadBvDataFromSTI(g_buffer, 8, &n); }},
    {"sti.rawWrite", [] { DWORD n = 8; return bv::WriteBvDataToSTI(g_buffer, 8, &n); }},
};

TEST_F(StiTransportTest, WithoutDeviceEveryExchangeRefusesBeforeTheService) {
    bv::requestBlock request = connectCommand();
    EXPECT_EQ(BVL_E_NO_DEVICE_OPEN, bv::DoBvCommand(&request, nullptr, 0, 5000, 3));
    for (const auto& exchange : kExchanges) {
        SCOPED_TRACE(exchange.step);
        EXPECT_EQ(BVL_E_NO_DEVICE_OPEN, exchange.call());
    }
    EXPECT_EQ(BVL_E_LL_UNEXPECTED_EXCEPTION, bv::GetBvErrorID());
    EXPECT_EQ(static_cast<HRESULT>(0x80004005), bv::readLastErrorInfo());
    EXPECT_EQ(0u, simStepCount());
}

// queryFails: the device cannot tell its error.
struct VendorErrorCase { const char* name; DWORD vendor; bool queryFails; DWORD expected; };

class VendorErrors : public StiTransportTest, public ::testing::WithParamInterface<VendorErrorCase> {};

TEST_P(VendorErrors, BecomeTheStatusUnchanged) {
    openCamera();
    if (GetParam().queryFails) simFailNth("sti.lastError", 0, 0);
    for (const auto& exchange : kExchanges) {
        SCOPED_TRACE(exchange.step);
        simFailNth(exchange.step, 1, GetParam().vendor);
        EXPECT_EQ(GetParam().expected, exchange.call());
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, VendorErrors,
    ::testing::Values(VendorErrorCase{"None", 0, false, BVL_E_LL_UNEXPECTED_EXCEPTION},
                      VendorErrorCase{"CameraCode", 0x02000022, false, 0x02000022},
                      VendorErrorCase{"SpecificBits", 0x8a00ffff, false, 0x8a00ffff},
                      VendorErrorCase{"AllBits", 0xffffffff, false, 0xffffffff},
                      VendorErrorCase{"Unknown", 0x02000022, true, BVL_E_LL_UNEXPECTED_EXCEPTION}),
    [](const ::testing::TestParamInfo<VendorErrorCase>& i) { return std::string(i.param.name); });

TEST_F(StiTransportTest, CommandStatusWinsOverUnlock) {
    openCamera();
    bv::requestBlock request = connectCommand();
    // Mode 3: a failing escape and a failing unlock give the escape's code.
    simFailNth("sti.escape", 1, 0x02000011);
    simFailNth("sti.unlock", 1, 0x02000012);
    EXPECT_EQ(0x02000011u, bv::DoBvCommand(&request, nullptr, 0, 5000, 3));
    EXPECT_EQ(0u, bv::unlockStiDevice());  // the refused unlock left the lock held
    // A good command and a failing unlock give the unlock's code.
    simFailNth("sti.unlock", 1, 0x02000013);
    EXPECT_EQ(0x02000013u, bv::DoBvCommand(&request, nullptr, 0, 5000, 3));
    EXPECT_EQ(0u, bv::unlockStiDevice());
    // A refused lock sends nothing and unlocks nothing.
    const DWORD sent = simCommandCount();
    simFailNth("sti.lock", 1, 0x02000014);
    EXPECT_EQ(0x02000014u, bv::DoBvCommand(&request, nullptr, 0, 5000, 3));
    EXPECT_EQ(sent, simCommandCount());
    // Mode 1 with a failing command leaves the device locked.
    simFailNth("sti.escape", 1, 0x02000015);
    EXPECT_EQ(0x02000015u, bv::DoBvCommand(&request, nullptr, 0, 5000, 1));
    EXPECT_EQ(1, simCounter("sti.locks"));
    EXPECT_EQ(0u, bv::unlockStiDevice());
}

TEST_F(StiTransportTest, CapacityOneByteShortCallsNothing) {
    openCamera();
    BYTE buffer[16] = {};
    const DWORD wanted = 16;
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, bv::ReadBvDataFromSTI(buffer, wanted - 1, &wanted));
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, bv::WriteBvDataToSTI(buffer, wanted - 1, &wanted));
    EXPECT_FALSE(reached("sti.rawRead"));
    EXPECT_FALSE(reached("sti.rawWrite"));
    EXPECT_EQ(0u, bv::WriteBvDataToSTI(buffer, wanted, &wanted));
    EXPECT_EQ(16u, simWrittenBulk(nullptr, 0));
}

}  // namespace
