// Transfers with the user interface off: every picture of the sample
// cards by each mechanism, through version 1 and version 2 managers,
// compared with the cards' files.
#include <cstring>
#include <fstream>
#include <iterator>

#include <windows.h>
#include <commctrl.h>

#include "tests/support/dialog_driver.h"
#include "tests/twain/twain_fixture.h"
#include "tools/screenshots/window_png.h"

namespace {

using twaintest::Manager;

enum class Mechanism { Native, FileJfif, FileBmp, Memory, MemoryFile };

// What one transfer delivered: the file's bytes, or the picture's pixels
// (rows from the top, blue-green-red).
struct Delivered {
    TW_UINT16 rc = TWRC_FAILURE;
    TW_IMAGEINFO info = {};
    std::vector<BYTE> bytes;
};

// Pixels sampled at a quarter and at three quarters of each sample
// picture's width and height, recorded once from the decoded cards.
struct PixelSample { BYTE quarter[3], threeQuarters[3]; };
const PixelSample kPixels[] = {
#include "tests/twain/sample_pixels.inc"
};

std::vector<BYTE> readFile(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), {});
}

// Unpadded top-down rows from a bottom-up 24-bit DIB.
std::vector<BYTE> dibPixels(const BYTE* dib) {
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, sizeof h);
    EXPECT_EQ(24, h.biBitCount);
    const size_t row = (h.biWidth * 3 + 3) & ~3, width = size_t(h.biWidth) * 3;
    std::vector<BYTE> pixels;
    for (LONG y = h.biHeight - 1; y >= 0; --y) pixels.insert(pixels.end(), dib + h.biSize + row * y, dib + h.biSize + row * y + width);
    return pixels;
}

class TransferTest : public TwainSourceTest {
protected:
    Delivered transfer(Mechanism m) {
        Delivered d;
        EXPECT_EQ(TWRC_SUCCESS, twain().call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &d.info));
        if (m == Mechanism::Native) {
            TW_HANDLE dib = nullptr;
            d.rc = twain().call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
            if (!dib) return d;
            d.bytes = dibPixels(static_cast<const BYTE*>(GlobalLock(dib)));
            GlobalUnlock(dib);
            twain().freeBlock(dib);
        } else if (m == Mechanism::FileJfif || m == Mechanism::FileBmp) {
            d.rc = twain().call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
            d.bytes = readFile("twain_test.tmp");
            if (m == Mechanism::FileBmp && d.bytes.size() > sizeof(BITMAPFILEHEADER) && d.bytes[0] == 'B')
                d.bytes = dibPixels(d.bytes.data() + sizeof(BITMAPFILEHEADER));
        } else {
            TW_SETUPMEMXFER setup = {};
            EXPECT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup));
            // Buffers that end in the middle of a row or of the file.
            std::vector<BYTE> buffer(m == Mechanism::MemoryFile ? 7001 : setup.Preferred + 5);
            const TW_UINT16 dat = m == Mechanism::Memory ? DAT_IMAGEMEMXFER : DAT_IMAGEMEMFILEXFER;
            for (d.rc = TWRC_SUCCESS; d.rc == TWRC_SUCCESS;) {
                TW_IMAGEMEMXFER x = {};
                x.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
                d.rc = twain().call(DG_IMAGE, dat, MSG_GET, &x);
                for (TW_UINT32 b = 0; d.rc != TWRC_FAILURE && b < x.BytesWritten; b += m == Mechanism::Memory ? 3 : 1) {
                    if (m == Mechanism::Memory) d.bytes.insert(d.bytes.end(), {buffer[b + 2], buffer[b + 1], buffer[b]});
                    else d.bytes.push_back(buffer[b]);
                }
            }
        }
        return d;
    }
    void setMechanism(Mechanism m) {
        const TW_UINT16 mech = m == Mechanism::Native ? TWSX_NATIVE
                             : m == Mechanism::Memory ? TWSX_MEMORY
                             : m == Mechanism::MemoryFile ? TWSX_MEMFILE : TWSX_FILE;
        ASSERT_EQ(TWRC_SUCCESS, twain().setOne(ICAP_XFERMECH, TWTY_UINT16, mech));
        TW_SETUPFILEXFER file = {"twain_test.tmp", m == Mechanism::FileBmp ? TWFF_BMP : TWFF_JFIF, 0};
        ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &file));
    }
    // Ends the transfer at hand; the count left.
    TW_UINT16 endTransfer() {
        TW_PENDINGXFERS pending = {};
        EXPECT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending));
        return pending.Count;
    }
    void TearDown() override {
        DeleteFileA("twain_test.tmp");
        TwainSourceTest::TearDown();
    }
};

struct TransferCase { const char* name; Manager manager; Mechanism mechanism; };

class EveryPicture : public TransferTest, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(EveryPicture, MatchesTheCards) {
    const TransferCase& c = GetParam();
    start(c.manager);
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_NO_FATAL_FAILURE(setMechanism(c.mechanism));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    const auto cards = twaintest::samplePictures();
    ASSERT_EQ(std::size(kPixels), cards.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE(cards[i].path);
        const Delivered d = transfer(c.mechanism);
        ASSERT_EQ(TWRC_XFERDONE, d.rc);
        EXPECT_EQ(24, d.info.BitsPerPixel);
        EXPECT_EQ(72, d.info.XResolution.Whole);
        if (c.mechanism == Mechanism::FileJfif || c.mechanism == Mechanism::MemoryFile) {
            EXPECT_TRUE(d.bytes == cards[i].bytes) << "not the camera's file byte for byte";
        } else {
            const size_t w = d.info.ImageWidth, h = d.info.ImageLength;
            ASSERT_EQ(w * h * 3, d.bytes.size());
            const BYTE* quarter = &d.bytes[((h / 4) * w + w / 4) * 3];
            const BYTE* three = &d.bytes[((3 * h / 4) * w + 3 * w / 4) * 3];
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(kPixels[i].quarter[k], quarter[k], 3) << "channel " << k;
                EXPECT_NEAR(kPixels[i].threeQuarters[k], three[k], 3) << "channel " << k;
            }
        }
        EXPECT_EQ(cards.size() - i - 1, endTransfer());
    }
    EXPECT_EQ(5, probeState());
}

const TransferCase kTransferCases[] = {
    {"Version2Native", Manager::Version2, Mechanism::Native},
    {"Version2FileJfif", Manager::Version2, Mechanism::FileJfif},
    {"Version2FileBmp", Manager::Version2, Mechanism::FileBmp},
    {"Version2Memory", Manager::Version2, Mechanism::Memory},
    {"Version2MemoryFile", Manager::Version2, Mechanism::MemoryFile},
    {"Version1Native", Manager::Version1, Mechanism::Native},
    {"Version1Memory", Manager::Version1, Mechanism::Memory},
    {"Version1FileJfif", Manager::Version1, Mechanism::FileJfif},
};
INSTANTIATE_TEST_SUITE_P(Mechanisms, EveryPicture, ::testing::ValuesIn(kTransferCases),
                         [](const ::testing::TestParamInfo<TransferCase>& i) { return std::string(i.param.name); });

// CAP_XFERCOUNT limits the pictures; a reset in state 6 drops the rest and
// a new enable starts from the first picture again.
TEST_F(TransferTest, CountLimitsAndResetDropsTheRest) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_NO_FATAL_FAILURE(setMechanism(Mechanism::FileJfif));
    ASSERT_EQ(TWRC_SUCCESS, twain().setOne(CAP_XFERCOUNT, TWTY_INT16, 3));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    TW_PENDINGXFERS pending = {};
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending));
    EXPECT_EQ(3, pending.Count);
    const auto cards = twaintest::samplePictures();
    for (TW_UINT16 left = 2;; --left) {
        ASSERT_EQ(TWRC_XFERDONE, transfer(Mechanism::FileJfif).rc);
        ASSERT_EQ(left, endTransfer());
        if (left == 1) break;
    }
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending));
    EXPECT_EQ(0, pending.Count);
    EXPECT_EQ(5, probeState());
    TW_USERINTERFACE ui = {};
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    EXPECT_TRUE(transfer(Mechanism::FileJfif).bytes == cards[0].bytes);
}

// A camera that fails in the middle of a fetch ends that transfer only:
// the source stays in state 6 and the next picture comes through.
TEST_F(TransferTest, CameraFaultEndsOneTransfer) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_NO_FATAL_FAILURE(setMechanism(Mechanism::MemoryFile));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    ASSERT_EQ(TWRC_XFERDONE, transfer(Mechanism::MemoryFile).rc);
    endTransfer();
    simFailNth("sti.rawRead", 2, 0x80000042);
    TW_IMAGEINFO info = {};
    EXPECT_EQ(TWRC_FAILURE, twain().call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info));
    EXPECT_EQ(TWCC_OPERATIONERROR, twain().condition());
    EXPECT_EQ(6, probeState());
    endTransfer();
    EXPECT_TRUE(transfer(Mechanism::MemoryFile).bytes == twaintest::samplePictures()[2].bytes);
}

// The application resets from one of its messages while a picture
// arrives (the progress window hands them out): the camera transfer stops
// at once, the transfer fails, and the source goes on from state 5.
twaintest::TwainSession* g_application = nullptr;
TW_UINT16 g_resetResult = TWRC_FAILURE;

void CALLBACK resetFromTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    TW_PENDINGXFERS pending = {};
    g_resetResult = g_application->call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}

TEST_F(TransferTest, ResetDuringFetchStopsTheCamera) {
    const auto rawReads = [] {
        DWORD n = 0;
        for (DWORD i = 0; i < simStepCallCount(); ++i) n += std::strcmp(simStepCallAt(i), "sti.rawRead") == 0;
        return n;
    };
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_NO_FATAL_FAILURE(setMechanism(Mechanism::FileJfif));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    g_application = &twain();
    simDelayStep("sti.rawRead", 20);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, resetFromTimer);
    DWORD before = rawReads();
    EXPECT_EQ(TWRC_FAILURE, twain().call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr));
    const DWORD stopped = rawReads() - before;
    KillTimer(nullptr, timer);
    simDelayStep("sti.rawRead", 0);
    EXPECT_EQ(TWRC_SUCCESS, g_resetResult);
    EXPECT_EQ(5, probeState());
    TW_USERINTERFACE ui = {};
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    before = rawReads();
    EXPECT_TRUE(transfer(Mechanism::FileJfif).bytes == twaintest::samplePictures()[0].bytes);
    EXPECT_LT(stopped, rawReads() - before) << "the camera went on after the reset";
}

// Without a camera the source opens, says it is offline and refuses to
// enable; nothing changes state.
TEST_F(TransferTest, NoCameraOpensOffline) {
    simStiSetDevices(nullptr, 0);
    simSetSerialCameraPorts(0);
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    EXPECT_EQ(0u, twain().capability(CAP_DEVICEONLINE, MSG_GET).items.at(0));
    EXPECT_EQ(TWRC_FAILURE, twain().enable());
    EXPECT_EQ(TWCC_CHECKDEVICEONLINE, twain().condition());
    EXPECT_EQ(4, probeState());
}

}  // namespace

// Thumbnails replace the pictures by every mechanism: at most 160 pixels
// on a side, and a JFIF file of that size where the camera's file would go.
TEST_F(TransferTest, ThumbnailsInsteadOfPictures) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_EQ(TWRC_SUCCESS, twain().setOne(CAP_THUMBNAILSENABLED, TWTY_BOOL, TRUE));
    ASSERT_NO_FATAL_FAILURE(setMechanism(Mechanism::MemoryFile));
    ASSERT_EQ(TWRC_SUCCESS, twain().enable());
    ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
    for (Mechanism m : {Mechanism::MemoryFile, Mechanism::Native}) {
        const Delivered d = transfer(m);
        ASSERT_EQ(TWRC_XFERDONE, d.rc);
        EXPECT_EQ(160, std::max(d.info.ImageWidth, d.info.ImageLength));
        if (m == Mechanism::Native) EXPECT_EQ(size_t(d.info.ImageWidth * d.info.ImageLength * 3), d.bytes.size());
        else EXPECT_TRUE(d.bytes.size() > 2 && d.bytes[0] == 0xff && d.bytes[1] == 0xd8) << "not a JPEG file";
        endTransfer();
    }
}

// With the user interface on, the window lists every picture; the two
// picked are transferred in listing order, and a cancel asks to close.
TEST_F(TransferTest, PickingWindowTransfersTheChosen) {
    if (!bvtest::hasDisplay()) GTEST_SKIP() << "no display";
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_NO_FATAL_FAILURE(setMechanism(Mechanism::MemoryFile));
    const auto cards = twaintest::samplePictures();
    for (bool cancel : {false, true}) {
        ASSERT_EQ(TWRC_SUCCESS, twain().enable(true));
        const HWND window = FindWindowW(L"Bvcl2STIPicking", nullptr), list = GetDlgItem(window, 100);
        ASSERT_EQ(cards.size(), size_t(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
        LVITEMW selected = {};
        selected.stateMask = selected.state = LVIS_SELECTED;
        for (WPARAM i : {3, 1}) SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&selected));
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (const char* folder = getenv("BV_SCREENSHOT_DIR"); folder && !cancel) {
            CreateDirectoryA(folder, nullptr);
            EXPECT_TRUE(bvtest::saveWindowPng(window, std::string(folder) + "/twain_picking.png"));
        }
        PostMessageW(window, WM_COMMAND, cancel ? IDCANCEL : IDOK, 0);
        ASSERT_EQ(cancel ? MSG_CLOSEDSREQ : MSG_XFERREADY, twain().waitNotification());
        for (size_t i : {1, 3}) {
            if (cancel) break;
            EXPECT_TRUE(transfer(Mechanism::MemoryFile).bytes == cards[i].bytes) << cards[i].path;
            EXPECT_EQ(i == 1 ? 1 : 0, endTransfer());
        }
        TW_USERINTERFACE ui = {};
        ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui));
    }
}
