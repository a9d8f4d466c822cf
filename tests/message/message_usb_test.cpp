// The USB road of the message exchange on the Still Image stand-in: its
// statuses and callbacks, and what an application does that must neither
// hang its thread nor be called back after the call returned. A watchdog
// ends the process when a case hangs, so a regression fails, not stalls.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "front/serial/serial_message.h"
#include "message/message_transport.h"
#include "tests/sti/sti_fixture.h"

namespace {

using Log = std::vector<std::string>;

constexpr DWORD kKind = 5;
constexpr DWORD kReply = SIM_MESSAGE_ECHO;  // a reply exchange; otherwise the data size
constexpr DWORD kChunk = bv::kMessageChunkSize;
constexpr DWORD kTimeout = BVL_E_MESSAGE_TIMEOUT;
constexpr DWORD kStreamFailed = BVL_E_MESSAGE_STREAM_FAILED;
const BYTE kPayload[] = {'p', 'i', 'n', 'g', 0, 7};

// Ends the process unless destroyed within 15 seconds.
struct Watchdog {
    Watchdog() { CreateTimerQueueTimer(&timer, nullptr, bark, nullptr, 15000, 0, 0); }
    ~Watchdog() { DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE); }
    static void CALLBACK bark(void*, BOOLEAN) { std::fputs("hung\n", stderr), TerminateProcess(GetCurrentProcess(), 3); }
    HANDLE timer = nullptr;
};

struct UsbCase {
    const char* name;
    DWORD dataSize = kReply;
    WORD progressMode = BVL_PROGRESS_PERCENT;  // with ProgressCB only for percentages
    bool send = false;     // msgFoundCB and ProgressCB send to the calling thread's window
    DWORD blockMs = 0;     // each WriteCB stays this long in the caller's code
    int countChange = 0;   // WriteCB hands back the chunk plus this
    bool failOpen = false;
    bool strayFirst = false;  // a stopped exchange's worker holds the device at the start
    DWORD replyKind = SIM_MESSAGE_ECHO;
    bool lying = false;    // the device's replies claim 0x7fffffff bytes
    const char* slowStep = nullptr;
    DWORD slowMs = 0;
    const char* failingStep = nullptr;  // its second call fails with 0x0200beef
    DWORD intervalAnswer = 0;
    DWORD timeoutMs = 5000;
    DWORD expected = 0;
    Log log = {};          // every callback but the interval's, once the worker ended
};

// One exchange's callbacks. They run on the worker, and a stopped worker
// may finish one after the call returned, hence the lock.
struct Exchange {
    Exchange(const UsbCase& c, HWND w) : use(c), window(w) {}
    const UsbCase& use;
    HWND window;
    SRWLOCK lock = SRWLOCK_INIT;
    Log log;
    std::atomic<bool> returned{false};
    int lateStarts = 0;
    std::atomic<int> intervals{0};

    void note(const std::string& entry, bool send = false) {
        AcquireSRWLockExclusive(&lock);
        lateStarts += returned;
        log.push_back(entry);
        ReleaseSRWLockExclusive(&lock);
        if (send && use.send) SendMessageW(window, WM_APP, 0, reinterpret_cast<LPARAM>(this));
    }
    static Exchange& of(UINT_PTR context) { return *reinterpret_cast<Exchange*>(context); }
    static void WINAPI open(UINT_PTR c, DWORD, DWORD* error) { of(c).note("open"), *error = of(c).use.failOpen; }
    static void WINAPI close(UINT_PTR c, DWORD* error) { of(c).note("close"), *error = 0; }
    static void WINAPI write(UINT_PTR c, const BYTE*, DWORD* count, DWORD* error) {
        of(c).note("write " + std::to_string(*count));
        Sleep(of(c).use.blockMs);
        *count += of(c).use.countChange, *error = 0;
    }
    static void WINAPI progress(UINT_PTR c, DWORD percent, DWORD* error) {
        of(c).note("progress " + std::to_string(percent), true), *error = 0;
    }
    static DWORD WINAPI found(dePC_MESSAGE* reply, void* c, DWORD*) {
        const bool echoed = std::memcmp(reply + 1, kPayload, sizeof kPayload) == 0;
        if (c) of(UINT_PTR(c)).note("found " + std::to_string(reply->totalLength) + (echoed ? "" : " garbled"), true);
        return 0;
    }
    static DWORD WINAPI interval(void* c) { return ++of(UINT_PTR(c)).intervals, of(UINT_PTR(c)).use.intervalAnswer; }
};

DWORD reply(Exchange* ex, DWORD timeoutMs) {
    return bv::newMessageOverUsb({0x1234, kPayload, sizeof kPayload, kKind, 0}, kKind, Exchange::found, ex,
                                 64, {ex ? Exchange::interval : nullptr, ex, timeoutMs});
}

// The calling thread's window: a message sent to it tries a nested
// exchange and notes what that returned.
LRESULT CALLBACK callerWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_APP) return DefWindowProcW(window, message, wParam, lParam);
    char text[32];
    std::snprintf(text, sizeof text, "nested 0x%08lx", static_cast<unsigned long>(reply(nullptr, 5000)));
    reinterpret_cast<Exchange*>(lParam)->note(text);
    return 0;
}

// Escape, slot 8 of the device's table, as a device whose replies claim
// 0x7fffffff bytes.
using EscapeFn = HRESULT(STDMETHODCALLTYPE*)(IStiDevice*, DWORD, void*, DWORD, void*, DWORD, DWORD*);
EscapeFn g_escape;
HRESULT STDMETHODCALLTYPE lyingEscape(IStiDevice* device, DWORD code, void* in, DWORD inSize, void* out,
                                      DWORD outSize, DWORD* actual) {
    const HRESULT hr = g_escape(device, code, in, inSize, out, outSize, actual);
    if (SUCCEEDED(hr)) static_cast<dePC_MESSAGE*>(out)->totalLength = 0x7fffffff;
    return hr;
}

class UsbMessage : public StiTransportTest, public ::testing::WithParamInterface<UsbCase> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StiTransportTest::SetUp());
        if (IsSkipped()) return;
        ASSERT_NO_FATAL_FAILURE(openCamera());
        const WNDCLASSW windowClass = {0, callerWindow, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"UsbMessageCaller"};
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window_);
    }
    void TearDown() override {
        if (table_) *reinterpret_cast<void***>(bv::stiState().stiDevice.get()) = table_;
        if (window_) DestroyWindow(window_);
        simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
        StiTransportTest::TearDown();
    }
    void lieAboutReplies() {
        static void* lying[20];  // IUnknown's and IStiDevice's methods
        void*** device = reinterpret_cast<void***>(bv::stiState().stiDevice.get());
        table_ = *device;
        std::copy(table_, table_ + 20, lying);
        g_escape = reinterpret_cast<EscapeFn>(lying[8]);
        lying[8] = reinterpret_cast<void*>(lyingEscape);
        *device = lying;
    }
    HWND window_ = nullptr;
    void** table_ = nullptr;  // the device's own, while it lies
};

TEST_P(UsbMessage, StatusCallbacksAndNoneAfterTheReturn) {
    const UsbCase& c = GetParam();
    Watchdog watchdog;
    Exchange ex(c, window_);
    const bvlStream stream = {reinterpret_cast<UINT_PTR>(&ex), 0, 0, c.progressMode, Exchange::open,
                              Exchange::close, nullptr, Exchange::write, nullptr, nullptr,
                              c.progressMode == BVL_PROGRESS_PERCENT ? Exchange::progress : nullptr};
    simSetMessageAnswer(c.replyKind, c.dataSize);
    if (c.lying) lieAboutReplies();
    if (c.strayFirst) {
        simDelayStep("sti.escape", 400);
        EXPECT_EQ(kTimeout, reply(nullptr, 100));
        simDelayStep("sti.escape", 0);
    }
    if (c.slowStep) simDelayStep(c.slowStep, c.slowMs);
    if (c.failingStep) simFailNth(c.failingStep, 2, 0x0200beef);
    const DWORD start = GetTickCount();
    const DWORD rc = c.dataSize == kReply ? reply(&ex, c.timeoutMs)
                                          : bv::dataMessageOverUsb({0x1234, kPayload, sizeof kPayload, kKind, 0},
                                                                   &stream, {Exchange::interval, &ex, c.timeoutMs});
    ex.returned = true;
    EXPECT_LT(GetTickCount() - start, std::min<DWORD>(c.timeoutMs, 1000) + 250) << "returned late";
    EXPECT_EQ(c.expected, rc);
    EXPECT_EQ(0u, bv::StiChange().begin()) << "waits for a stopped worker's device";
    EXPECT_EQ(c.log, ex.log);
    EXPECT_EQ(0, ex.lateStarts) << "a callback started after the call returned";
    EXPECT_GE(ex.intervals > 0, c.slowMs || c.blockMs) << "a long wait without interval callback";
    EXPECT_GE(c.timeoutMs > 0, ex.intervals > 0) << "an interval callback at a time-out of 0";
}

const Log kProgressSent = {"open", "write 3072", "progress 0", "nested 0x0c000007", "write 3072",
                           "progress 33", "nested 0x0c000007", "write 3072", "progress 67",
                           "nested 0x0c000007", "progress 100", "nested 0x0c000007", "close"};
const Log kOneWrite = {"open", "write 3072", "close"};  // and no report

const UsbCase kUsbCases[] = {
    {.name = "OtherKindIsDropped", .replyKind = kKind + 1},
    {.name = "TimeoutZero", .intervalAnswer = 7, .timeoutMs = 0, .expected = kTimeout},
    {.name = "IntervalZeroGoesOn", .slowStep = "sti.escape", .slowMs = 160, .log = {"found 22"}},
    {.name = "ReplyCallbackSendsToCaller", .send = true, .log = {"found 22", "nested 0x0c000007"}},
    {.name = "ReplyClaimsTooMuch", .lying = true, .log = {"found 80"}},
    {.name = "ProgressCallbackSendsToCaller", .dataSize = 3 * kChunk, .send = true, .log = kProgressSent},
    {.name = "NoReportsNeedNoProgressCB", .dataSize = kChunk, .progressMode = BVL_PROGRESS_NONE, .log = kOneWrite},
    {.name = "EndReportNeedsProgressCB", .dataSize = kChunk, .progressMode = BVL_PROGRESS_END_ONLY,
     .expected = BVL_E_MESSAGE_STREAM_INCOMPLETE},
    {.name = "SizeZero", .dataSize = 0, .expected = BVL_E_FILE_NOT_FOUND},
    {.name = "OpenFails", .dataSize = kChunk, .failOpen = true, .expected = kStreamFailed, .log = {"open"}},
    // A failure in the data phase ends it at once, after CloseCB.
    {.name = "ChunkReadFails", .dataSize = 3 * kChunk, .failingStep = "sti.rawRead", .expected = 0x0200beef,
     .log = {"open", "write 3072", "progress 0", "close"}},
    // Stopped in the data phase: no CloseCB, the stream is the caller's.
    {.name = "IntervalStopLeavesTheStreamOpen", .dataSize = 2 * kChunk, .slowStep = "sti.rawRead",
     .slowMs = 200, .intervalAnswer = 7, .expected = 7, .log = {"open"}},
    {.name = "StopWhileInCallback", .dataSize = 3 * kChunk, .blockMs = 800, .timeoutMs = 100,
     .expected = kTimeout, .log = {"open", "write 3072"}},
    // A WriteCB taking fewer bytes is offered the rest (the USB road's
    // tests take half); none, or more than offered, ends the transfer.
    {.name = "WriteTakesNothing", .dataSize = 3 * kChunk, .countChange = -static_cast<int>(kChunk),
     .expected = BVL_E_STREAM_WRITE_ERROR, .log = kOneWrite},
    {.name = "WriteTakesMore", .dataSize = 3 * kChunk, .countChange = 1, .expected = BVL_E_STREAM_WRITE_ERROR,
     .log = kOneWrite},
    // The lock waits for the stopped worker as a driver's does: this one
    // ends at its own time-out, calling its interval callback meanwhile.
    {.name = "NextWhileAStoppedOneHoldsTheDevice", .strayFirst = true, .slowStep = "sti.lock", .slowMs = 400,
     .timeoutMs = 200, .expected = kTimeout},
};

INSTANTIATE_TEST_SUITE_P(Usb, UsbMessage, ::testing::ValuesIn(kUsbCases),
                         [](const ::testing::TestParamInfo<UsbCase>& i) { return std::string(i.param.name); });

// Both roads' percentages where 32 bits would overflow.
TEST(MessageArithmetic, PercentagesDoNotOverflow) {
    EXPECT_EQ(100u, bv::roundedPercent(0xffffffffu, 0xffffffffu));
    EXPECT_EQ(1u, bv::roundedPercent(1, 200));  // a half rounds up
    EXPECT_EQ(100u, bv::serialChunkProgress(0xfffff000u, 0x1000, 0xffffffffu, false));
}

}  // namespace
