// The TWAIN state table: every operation of a data source in each of the
// states 3 to 7. One in a state that does not take it fails with
// TWCC_SEQERROR and leaves the state as it was.
#include <cstring>

#include "tests/twain/twain_fixture.h"

namespace {

struct Operation {
    const char* name;
    TW_UINT32 dg;
    TW_UINT16 dat, msg;
    int first, last;  // the states that take it, by TWAIN's state tables
};

const Operation kOperations[] = {
    {"IdentityGet", DG_CONTROL, DAT_IDENTITY, MSG_GET, 3, 7},
    {"OpenDs", DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, 3, 3},
    {"CloseDs", DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, 4, 4},
    {"CapabilityGet", DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7},
    {"CapabilityQuerySupport", DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, 4, 7},
    {"CapabilitySet", DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4},
    {"CapabilityReset", DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 4, 4},
    {"CapabilityResetAll", DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, 4, 4},
    {"EnableDs", DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4},
    {"DisableDs", DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 5, 5},
    {"ProcessEvent", DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 5, 7},
    {"PendingGet", DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 4, 7},
    {"EndXfer", DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7},
    {"PendingReset", DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 6, 6},
    {"SetupMemGet", DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6},
    {"SetupFileGet", DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6},
    {"SetupFileReset", DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 4, 4},
    {"XferGroupGet", DG_CONTROL, DAT_XFERGROUP, MSG_GET, 4, 6},
    {"ImageInfoGet", DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7},
    {"ImageLayoutGet", DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, 4, 6},
    {"ImageLayoutSet", DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, 4, 4},
    {"NativeXfer", DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6},
    {"FileXfer", DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6},
    {"MemXfer", DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7},
    {"MemFileXfer", DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, 6, 7},
};

class StateTable : public TwainSourceTest, public ::testing::WithParamInterface<Operation> {};

// Data the operation can take without harm: zeros, a memory buffer that
// holds the whole picture, an event that is not the source's, the
// source's own identity.
struct CallData {
    alignas(8) BYTE bytes[1024] = {};
    MSG message = {};
    std::vector<BYTE> buffer = std::vector<BYTE>(4u << 20);
    CallData(const Operation& op, const TW_IDENTITY& source) {
        if (op.dat == DAT_EVENT) reinterpret_cast<TW_EVENT*>(bytes)->pEvent = &message;
        if (op.dat == DAT_IDENTITY) std::memcpy(bytes, &source, sizeof source);
        if (op.dat == DAT_IMAGEMEMXFER || op.dat == DAT_IMAGEMEMFILEXFER) {
            auto* x = reinterpret_cast<TW_IMAGEMEMXFER*>(bytes);
            x->Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
        }
        if (op.dat == DAT_SETUPFILEXFER) std::strcpy(reinterpret_cast<TW_SETUPFILEXFER*>(bytes)->FileName, "state.tmp");
    }
};

TEST_P(StateTable, SequenceErrorOutsideItsStates) {
    const Operation& op = GetParam();
    for (int state = 3; state <= 7; ++state) {
        SCOPED_TRACE("state " + std::to_string(state));
        start();
        ASSERT_NO_FATAL_FAILURE(reach(state));
        CallData data(op, twain().sourceIdentity());
        const TW_UINT16 rc = twain().call(op.dg, op.dat, op.msg, data.bytes);
        const TW_UINT16 condition = twain().condition();
        if (op.dat == DAT_IMAGENATIVEXFER && rc == TWRC_XFERDONE)
            twain().freeBlock(*reinterpret_cast<TW_HANDLE*>(data.bytes));
        if (state < op.first || state > op.last) {
            EXPECT_EQ(TWRC_FAILURE, rc);
            EXPECT_EQ(TWCC_SEQERROR, condition);
            EXPECT_EQ(state, probeState()) << "a refused operation changed the state";
        } else {
            EXPECT_NE(TWCC_SEQERROR, condition);
            EXPECT_NE(TWCC_BADPROTOCOL, condition);
        }
    }
    DeleteFileA("state.tmp");
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, StateTable, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& i) { return std::string(i.param.name); });

// An operation no source knows, and one that belongs to the manager.
TEST_F(TwainSourceTest, UnknownOperationsAreBadProtocol) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    BYTE data[64] = {};
    EXPECT_EQ(TWRC_FAILURE, twain().call(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, data));
    EXPECT_EQ(TWCC_BADPROTOCOL, twain().condition());
    EXPECT_EQ(TWRC_FAILURE, twain().call(DG_IMAGE, DAT_PALETTE8, MSG_GET, data));
    EXPECT_EQ(TWCC_BADPROTOCOL, twain().condition());
    EXPECT_EQ(TWCC_SUCCESS, twain().condition()) << "reading the condition clears it";
}

}  // namespace
