#include "tests/twain/twain_fixture.h"

using twaintest::Manager;

void TwainSourceTest::SetUp() {
    standIns_ = std::make_unique<bvtest::StandIns>();
    bvtest::installModels();
    // The camera was last used over USB.
    const bvlCameraPort usb = bvtest::usbPort(bvtest::kId350);
    const DWORD usbType = BVL_PORT_USB;
    bvtest::machine().setLibraryValue(bv::kUsbSubkey, bv::kLastPort, &usb, sizeof usb);
    bvtest::machine().setLibraryValue("", bv::kLastModel, &usbType, sizeof usbType, REG_DWORD);
    ASSERT_NO_FATAL_FAILURE(twaintest::insertSampleCards());
    start();
    ASSERT_TRUE(twain().loaded()) << "bvcl2sti.ds or its DS_Entry is missing";
}

void TwainSourceTest::TearDown() {
    if (session_) closeDown();
    if (session_) EXPECT_EQ("", session_->protocolFaults());
    session_.reset();
    EXPECT_EQ(0, twaintest::TwainSession::liveBlocks()) << "a block of the manager's was not given back";
    EXPECT_EQ(0, simCounter("sti.locks")) << "a device lock outlived the session";
    EXPECT_EQ(0, simCounter("sti.devices")) << "a still-image device outlived the session";
    standIns_.reset();
}

void TwainSourceTest::start(Manager manager) {
    if (session_) closeDown();
    if (session_) EXPECT_EQ("", session_->protocolFaults());
    session_.reset();
    session_ = std::make_unique<twaintest::TwainSession>(twaintest::sourcePath(), manager);
}

void TwainSourceTest::closeDown() {
    TW_PENDINGXFERS pending = {};
    TW_USERINTERFACE ui = {};
    twain().call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    twain().call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    twain().call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    TW_IDENTITY identity = twain().sourceIdentity();
    twain().call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
}

void TwainSourceTest::reach(int state) {
    if (state < 4) return;
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    if (state < 5) return;
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    if (state < 6) return;
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    if (state < 7) return;
    TW_HANDLE dib = nullptr;
    ASSERT_EQ(TWRC_XFERDONE, twain().call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib));
    twain().freeBlock(dib);
}

int TwainSourceTest::probeState() {
    auto takes = [this](TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
        BYTE data[512] = {};
        MSG message = {};
        if (dat == DAT_EVENT) reinterpret_cast<TW_EVENT*>(data)->pEvent = &message;
        twain().call(dg, dat, msg, data);
        return twain().condition() != TWCC_SEQERROR;
    };
    if (!takes(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT)) return 3;
    if (takes(DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET)) return 4;
    if (!takes(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT)) return 0;
    if (!takes(DG_IMAGE, DAT_IMAGEINFO, MSG_GET)) return 5;
    return takes(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET) ? 6 : 7;
}
