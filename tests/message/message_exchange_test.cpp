// The raw message exchange through g_bvlNewFactryAPI, on the serial
// stand-in and on the Still Image stand-in: statuses, what reaches the
// caller's callbacks and stream, and that a stopped exchange leaves no
// device lock, block, handle or open stream behind.
#include <cstring>
#include <string>
#include <vector>

#include "tests/front/front_fixture.h"
#include "tests/support/handle_count.h"
#include "tests/support/heap_blocks.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/stream_recorder.h"

namespace {

using Log = std::vector<std::string>;

constexpr DWORD kModelID = 0x70333036;
constexpr WORD kCode = 0x1234;
constexpr DWORD kKind = 5;
constexpr DWORD kParam = 0xa5a5;
constexpr DWORD kSerialTimeout = 0x02000085;
const BYTE kPayload[] = {'p', 'i', 'n', 'g', 0, 7};

// Counts the callbacks of one exchange; the interval callback answers
// `answer` from its nth call on (0: always).
struct Calls {
    int intervals = 0;
    int found = 0;
    DWORD answer = 0;
    int answerFrom = 1;
    std::vector<BYTE> reply;
};

DWORD WINAPI onInterval(void* context) {
    Calls& c = *static_cast<Calls*>(context);
    return ++c.intervals >= c.answerFrom ? c.answer : 0;
}

DWORD WINAPI onFound(dePC_MESSAGE* reply, void* context, DWORD* done) {
    Calls& c = *static_cast<Calls*>(context);
    ++c.found;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(reply);
    c.reply.assign(bytes, bytes + reply->totalLength);
    *done = 1;
    return 0;
}

class MessageExchangeTest : public FrontDispatchTest {
protected:
    void SetUp() override {
        machine().clear();
        const DWORD installMethod = 3;
        machine().addModel("Brivant350", &kModelID, "Brivant 350", &installMethod);
        machine().addLibraryKeys();
        simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
        FrontDispatchTest::SetUp();
        messages_ = reinterpret_cast<const bvlNewFactryAPI*>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), "g_bvlNewFactryAPI")));
        ASSERT_NE(nullptr, messages_);
    }

    void TearDown() override {
        if (usbOpen_) {
            // A stopped exchange may leave its worker finishing a delayed
            // command; the next exchange waits for it, so the device is
            // quiet before it is closed.
            simReset();
            Calls calls;
            EXPECT_EQ(0u, reply(calls, 5000));
            api().baseCloseCameraComm(camera_);
        }
        EXPECT_EQ(0, simCounter("sti.locks")) << "a device lock outlived the test";
        simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
        FrontDispatchTest::TearDown();
        machine().clear();
    }

    static bvtest::RegistryWriter machine() { return bvtest::RegistryWriter(HKEY_LOCAL_MACHINE); }

    void openUsb() {
        bvlCameraPort port = {};
        port.portType = BVL_PORT_USB;
        std::strcpy(port.portName, "USB");
        port.u.usb.modelID = kModelID;
        ASSERT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera_));
        usbOpen_ = true;
    }

    DWORD reply(Calls& calls, DWORD timeoutMs, DWORD replyKind = kKind,
                bvlIntervalCB interval = onInterval, DWORD capacity = 64,
                const BYTE* payload = kPayload, DWORD length = sizeof kPayload) {
        return messages_->bvlNewMessageTxRx(camera_, kCode, payload, length, kKind, replyKind,
                                            kParam, onFound, &calls, capacity, interval, &calls,
                                            timeoutMs);
    }

    DWORD data(bvlStream* stream, Calls& calls, DWORD timeoutMs, void* intervalContext) {
        return messages_->bvlMessageTxAndRecieveData(camera_, kCode, kPayload, sizeof kPayload,
                                                     kKind, kKind, kParam, stream, onInterval,
                                                     intervalContext ? &calls : nullptr,
                                                     timeoutMs);
    }

    const bvlNewFactryAPI* messages_ = nullptr;
    DWORD camera_ = 0;
    bool usbOpen_ = false;
};

// ---- serial road ----

struct SerialWaitCase {
    const char* name;
    DWORD timeoutMs;
    bool idleContext;
    DWORD idleAnswer;
    DWORD expected;
    bool idleCalled;
};

const SerialWaitCase kSerialWaits[] = {
    {"TimeoutZero", 0, true, 0, kSerialTimeout, false},
    {"NullIdleContext", 180, false, 7, kSerialTimeout, false},
    {"IdleStopsWithItsResult", 5000, true, 7, 7, true},
};

class SerialWaits : public MessageExchangeTest,
                    public ::testing::WithParamInterface<SerialWaitCase> {};

TEST_P(SerialWaits, EndWithTimeOutOrIdleResult) {
    const SerialWaitCase& c = GetParam();
    camera_ = openSerial();
    simFailNth("serial.factry0", 0, 0);  // every poll answers 0 and nothing arrives
    simDelayStep("serial.factry0", 5);
    Calls calls;
    calls.answer = c.idleAnswer;
    const DWORD start = GetTickCount();
    EXPECT_EQ(c.expected, messages_->bvlNewMessageTxRx(
                              camera_, kCode, kPayload, sizeof kPayload, kKind, kKind, kParam,
                              onFound, &calls, 64, onInterval,
                              c.idleContext ? &calls : nullptr, c.timeoutMs));
    EXPECT_EQ(c.idleCalled, calls.intervals > 0);
    EXPECT_GE(GetTickCount() - start, c.idleCalled ? 50u : c.timeoutMs);
    EXPECT_EQ(0, calls.found);
}

INSTANTIATE_TEST_SUITE_P(SerialMessage, SerialWaits, ::testing::ValuesIn(kSerialWaits),
                         [](const ::testing::TestParamInfo<SerialWaitCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(MessageExchangeTest, SerialReplyReachesTheReplyCallbackWithTheMessageRecord) {
    camera_ = openSerial();
    simSetMessageAnswer(kKind + 1, SIM_MESSAGE_ECHO);
    Calls calls;
    EXPECT_EQ(0u, reply(calls, 5000));
    ASSERT_EQ(1, calls.found);
    // The reply record: kind from the camera, then status, total, offset,
    // length and last flag, then the data.
    ASSERT_EQ(36 + sizeof kPayload, calls.reply.size());
    DWORD words[9];
    std::memcpy(words, calls.reply.data(), sizeof words);
    EXPECT_EQ(kKind + 1, words[1]);
    EXPECT_EQ(sizeof kPayload, words[5]);
    EXPECT_EQ(0, std::memcmp(kPayload, calls.reply.data() + 36, sizeof kPayload));
    // Sent through entry 4 with the camera word, then polled through entry 0.
    std::vector<DWORD> entries;
    for (const SimSerialCall& call : bvtest::serialCalls())
        if (call.table == 1) entries.push_back(call.slot);
    ASSERT_EQ((std::vector<DWORD>{4, 0}), entries);
}

struct SerialDataCase {
    const char* name;
    DWORD dataSize;
    WORD progressMode;
    BYTE clamp;
    Log log;
};

const SerialDataCase kSerialData[] = {
    {"EmptyReplyReports100", 0, 3, 0, {"progress 0", "open 3", "progress 100", "close"}},
    {"ThreeChunksPercent", 12000, 3, 0,
     {"progress 0", "open 3", "write 5120", "progress 42", "write 5120", "progress 85",
      "write 1760", "progress 100", "close"}},
    {"ClampedNeverShowsTheEnds", 0, 3, 1, {"open 3", "progress 99", "close"}},
    {"EndOnly", 5120, 2, 0, {"open 3", "write 5120", "progress 100", "close"}},
};

class SerialData : public MessageExchangeTest,
                   public ::testing::WithParamInterface<SerialDataCase> {};

TEST_P(SerialData, ChunksReachTheStreamInOrder) {
    const SerialDataCase& c = GetParam();
    camera_ = openSerial();
    simSetMessageAnswer(SIM_MESSAGE_ECHO, c.dataSize);
    bvtest::StreamRecorder recorder(c.progressMode);
    recorder.stream()->clampFlag = c.clamp;
    Calls calls;
    EXPECT_EQ(0u, data(recorder.stream(), calls, 5000, &calls));
    EXPECT_EQ(c.log, recorder.log());
    EXPECT_EQ(c.dataSize, recorder.written().size());
}

INSTANTIATE_TEST_SUITE_P(SerialMessage, SerialData, ::testing::ValuesIn(kSerialData),
                         [](const ::testing::TestParamInfo<SerialDataCase>& i) {
                             return std::string(i.param.name);
                         });

TEST_F(MessageExchangeTest, SerialStreamFailureEndsTheExchangeAndClosesTheStream) {
    camera_ = openSerial();
    simSetMessageAnswer(SIM_MESSAGE_ECHO, 12000);
    bvtest::StreamRecorder recorder(BVL_PROGRESS_NONE);
    recorder.failOn("write", 0x0a0000a8, 2);
    Calls calls;
    EXPECT_EQ(0x0a0000a8u, data(recorder.stream(), calls, 5000, &calls));
    EXPECT_EQ((Log{"open 3", "write 5120", "write 5120", "close"}), recorder.log());
}

TEST_F(MessageExchangeTest, QuietEntriesReturnZeroAndWakeupNeedsNoSerialLibrary) {
    EXPECT_EQ(0u, messages_->bvlSuspend(0xdead));
    EXPECT_EQ(0u, messages_->bvlFlashMessage(1, 2, 3));
    auto test = reinterpret_cast<DWORD(WINAPI*)(DWORD, DWORD)>(
        GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), "bvlTestWakeupCode"));
    ASSERT_NE(nullptr, test);
    EXPECT_EQ(0u, test(4, 5));
    // With the serial library: entry 6 gets the low byte of the code.
    EXPECT_EQ(0u, messages_->bvlSetWakeupCode(0x1c3));
    const auto serial = bvtest::serialCalls();
    ASSERT_EQ(1u, serial.size());
    EXPECT_EQ(6u, serial[0].slot);
    EXPECT_EQ(0xc3u, serial[0].args[0]);

    load(bvtest::SerialLibrary::Missing);
    messages_ = reinterpret_cast<const bvlNewFactryAPI*>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), "g_bvlNewFactryAPI")));
    EXPECT_EQ(0u, messages_->bvlSetWakeupCode(1));
}

// ---- USB road ----

struct UsbReplyCase {
    const char* name;
    DWORD timeoutMs;
    DWORD escapeDelayMs;
    DWORD cameraKind;  // SIM_MESSAGE_ECHO: the message's own kind
    DWORD intervalAnswer;
    DWORD expected;
    int found;
    bool intervalCalled;
};

const UsbReplyCase kUsbReplies[] = {
    {"Answered", 5000, 0, SIM_MESSAGE_ECHO, 0, 0, 1, false},
    {"OtherKindIsDropped", 5000, 0, kKind + 1, 0, 0, 0, false},
    {"TimeoutZeroStopsBeforeAnySleep", 0, 0, SIM_MESSAGE_ECHO, 7, 0x0c000001, 0, false},
    {"IntervalSevenStops", 5000, 400, SIM_MESSAGE_ECHO, 7, 7, 0, true},
    {"IntervalZeroDoesNotStop", 5000, 160, SIM_MESSAGE_ECHO, 0, 0, 1, true},
    {"SlowCameraTimesOut", 120, 400, SIM_MESSAGE_ECHO, 0, 0x0c000001, 0, true},
};

class UsbReplies : public MessageExchangeTest,
                   public ::testing::WithParamInterface<UsbReplyCase> {};

TEST_P(UsbReplies, StatusAndCallbacks) {
    const UsbReplyCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(openUsb());
    simSetMessageAnswer(c.cameraKind, SIM_MESSAGE_ECHO);
    simDelayStep("sti.escape", c.escapeDelayMs);
    Calls calls;
    calls.answer = c.intervalAnswer;
    EXPECT_EQ(c.expected, reply(calls, c.timeoutMs));
    EXPECT_EQ(c.found, calls.found);
    EXPECT_EQ(c.intervalCalled, calls.intervals > 0);
    if (c.found) {
        ASSERT_EQ(16 + sizeof kPayload, calls.reply.size());
        const DWORD header[4] = {kCode, kKind, 16 + sizeof kPayload, kParam};
        EXPECT_EQ(0, std::memcmp(header, calls.reply.data(), sizeof header));
        EXPECT_EQ(0, std::memcmp(kPayload, calls.reply.data() + 16, sizeof kPayload));
    }
}

INSTANTIATE_TEST_SUITE_P(UsbMessage, UsbReplies, ::testing::ValuesIn(kUsbReplies),
                         [](const ::testing::TestParamInfo<UsbReplyCase>& i) {
                             return std::string(i.param.name);
                         });

struct UsbDataCase {
    const char* name;
    DWORD dataSize;
    WORD progressMode;
    bool progressCB;
    const char* failingCallback;  // null: none
    const char* slowStep;         // null: none
    DWORD slowMs;
    DWORD intervalAnswer;
    DWORD timeoutMs;
    DWORD expected;
    Log log;
};

const UsbDataCase kUsbData[] = {
    {"ThreeChunksPercent", 3 * 3072, 3, true, nullptr, nullptr, 0, 0, 3000, 0,
     {"open 3", "write 3072", "progress 0", "write 3072", "progress 33", "write 3072",
      "progress 67", "progress 100", "close"}},
    {"NoReportsNeedNoProgressCB", 3072, 1, false, nullptr, nullptr, 0, 0, 3000, 0,
     {"open 3", "write 3072", "close"}},
    {"EndReportNeedsProgressCB", 3072, 2, false, nullptr, nullptr, 0, 0, 3000, 0x0c000006, {}},
    {"SizeZero", 0, 3, true, nullptr, nullptr, 0, 0, 3000, 0x0a000022, {}},
    {"OpenFailsBeforeFirstChunk", 3072, 3, true, "open", nullptr, 0, 0, 3000, 0x0c000005,
     {"open 3"}},
    // The command answers after the caller gave up: its lock must not stay.
    {"SlowCommandTimesOut", 3072, 1, true, nullptr, "sti.escape", 400, 0, 150, 0x0c000001, {}},
    // Stopped while the first chunk read is slow: closed before the return,
    // and the chunk that arrives later is not written.
    {"IntervalStopClosesTheStream", 2 * 3072, 1, true, nullptr, "sti.rawRead", 200, 7, 3000, 7,
     {"open 3", "close"}},
    {"SlowChunkTimesOut", 3072, 1, true, nullptr, "sti.rawRead", 400, 0, 150, 0x0c000001,
     {"open 3", "close"}},
};

class UsbData : public MessageExchangeTest, public ::testing::WithParamInterface<UsbDataCase> {};

TEST_P(UsbData, StatusAndStreamSequence) {
    const UsbDataCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(openUsb());
    simSetMessageAnswer(SIM_MESSAGE_ECHO, c.dataSize);
    bvtest::StreamRecorder recorder(c.progressMode);
    if (!c.progressCB) recorder.stream()->ProgressCB = nullptr;
    if (c.failingCallback) recorder.failOn(c.failingCallback, 0x0a0000a3);
    if (c.slowStep) simDelayStep(c.slowStep, c.slowMs);
    Calls calls;
    calls.answer = c.intervalAnswer;
    const DWORD start = GetTickCount();
    EXPECT_EQ(c.expected, data(recorder.stream(), calls, c.timeoutMs, &calls));
    EXPECT_LT(GetTickCount() - start, 2000u) << "the wait outlived its time-out";
    EXPECT_EQ(c.log, recorder.log());
}

INSTANTIATE_TEST_SUITE_P(UsbMessage, UsbData, ::testing::ValuesIn(kUsbData),
                         [](const ::testing::TestParamInfo<UsbDataCase>& i) {
                             return std::string(i.param.name);
                         });

// Many exchanges, every third one given up on (time-out 0, or the interval
// callback while the camera is slow): afterwards an exchange succeeds and
// no lock, handle or block of the given-up ones is left.
TEST_F(MessageExchangeTest, GivenUpExchangesLeaveNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(openUsb());
    const BYTE payload[37] = {1, 2, 3};
    constexpr DWORD kCapacity = 211;
    Calls warmUp;
    ASSERT_EQ(0u, reply(warmUp, 5000, kKind, onInterval, kCapacity, payload, sizeof payload));
    DWORD handlesBefore = 0;
    const bool countHandles = bvtest::liveHandleCount(&handlesBefore);
    const size_t messagesBefore = bvtest::liveGuardedBlocks(16 + sizeof payload);
    const size_t repliesBefore = bvtest::liveGuardedBlocks(16 + kCapacity);

    for (int i = 0; i < 1000; ++i) {
        SCOPED_TRACE("exchange " + std::to_string(i));
        Calls calls;
        // Every third is given up on; one in ten of those by the interval
        // callback, while the camera takes well beyond the first 50 ms.
        const bool byInterval = i % 30 == 29;
        const bool byTimeout = i % 3 == 2 && !byInterval;
        calls.answer = byInterval ? 9 : 0;
        if (byInterval) simDelayStep("sti.escape", 150);
        const DWORD rc = reply(calls, byTimeout ? 0 : 5000, kKind, onInterval, kCapacity, payload,
                               sizeof payload);
        if (byInterval) simDelayStep("sti.escape", 0);
        EXPECT_EQ(byInterval ? 9u : byTimeout ? 0x0c000001u : 0u, rc);
        EXPECT_EQ(byInterval || byTimeout ? 0 : 1, calls.found);
        if (HasFailure()) break;
    }

    Calls last;
    EXPECT_EQ(0u, reply(last, 5000, kKind, onInterval, kCapacity, payload, sizeof payload));
    EXPECT_EQ(1, last.found);
    EXPECT_EQ(0, simCounter("sti.locks"));
    DWORD handlesAfter = 0;
    if (countHandles && bvtest::liveHandleCount(&handlesAfter)) {
        EXPECT_EQ(handlesBefore, handlesAfter);
    }
    EXPECT_EQ(messagesBefore, bvtest::liveGuardedBlocks(16 + sizeof payload));
    EXPECT_EQ(repliesBefore, bvtest::liveGuardedBlocks(16 + kCapacity));
}

}  // namespace
