// The raw message exchange through bvcl2sti.dll's g_bvlNewFactryAPI: the
// serial road on the serial stand-in, and many USB exchanges, some
// stopped, after which nothing of theirs is left and the library unloads.
#include <functional>
#include <string>
#include <vector>

#include "front/serial/serial_message.h"
#include "tests/support/camera_world.h"
#include "tests/support/debug_output_capture.h"
#include "tools/common/handle_count.h"
#include "tests/support/heap_blocks.h"
#include "tests/support/stream_recorder.h"

namespace {

using Log = std::vector<std::string>;

constexpr DWORD kKind = 5;
constexpr DWORD kSerialTimeout = 0x02000085;
// Sizes no other block of the heap has: a job's blocks are counted by size.
const BYTE kPayload[37] = {'p', 'i', 'n', 'g', 0, 7};
constexpr DWORD kCapacity = 211;

// The interval callback answers `answer` (and with letGo lets a held escape go); replies are kept whole.
struct Calls {
    int intervals = 0;
    DWORD answer = 0;
    std::vector<std::vector<BYTE>> replies;
    bool letGo = false;
};

DWORD WINAPI onInterval(void* context) {
    auto* calls = static_cast<Calls*>(context);
    if (calls->letGo) simHoldStep("sti.escape", FALSE);
    return ++calls->intervals, calls->answer;
}

DWORD WINAPI onFound(dePC_MESSAGE* reply, void* context, DWORD*) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(reply);
    static_cast<Calls*>(context)->replies.emplace_back(bytes, bytes + reply->totalLength);
    return 0;
}

class MessageExchangeTest : public UsbRoadTest {
protected:
    void SetUp() override {
        simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
        ASSERT_NO_FATAL_FAILURE(UsbRoadTest::SetUp());
        ASSERT_NE(nullptr, GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), "g_bvlNewFactryAPI"));
    }

    // The close waits for stopped exchanges' jobs; then nothing may keep the library.
    void TearDown() override {
        simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
        UsbRoadTest::TearDown();
        for (int i = 0; i < 100 && GetModuleHandleW(L"bvcl2sti.dll"); ++i) Sleep(10);
        EXPECT_EQ(nullptr, GetModuleHandleW(L"bvcl2sti.dll")) << "a worker kept the library";
    }

    static const bvlNewFactryAPI& messages() { return bvtest::messageTable(); }

    DWORD reply(Calls& calls, DWORD timeoutMs) {
        return messages().bvlNewMessageTxRx(camera_, 0x1234, kPayload, sizeof kPayload, kKind, kKind,
                                            0xa5a5, onFound, &calls, kCapacity, onInterval, &calls, timeoutMs);
    }
};

// The serial library's own reply record reaches the callback: kind from
// the camera, status, total, offset, length, last flag, then the data.
TEST_F(MessageExchangeTest, SerialReplyReachesTheReplyCallbackWithTheMessageRecord) {
    camera_ = openSerial();
    simSetMessageAnswer(kKind + 1, SIM_MESSAGE_ECHO);
    Calls calls;
    EXPECT_EQ(0u, reply(calls, 5000));
    const DWORD words[] = {0x1234, kKind + 1, 36 + sizeof kPayload, 0, 0, sizeof kPayload, 0, sizeof kPayload, 1};
    std::vector<BYTE> record(reinterpret_cast<const BYTE*>(words), reinterpret_cast<const BYTE*>(words + 9));
    record.insert(record.end(), kPayload, kPayload + sizeof kPayload);
    EXPECT_EQ(std::vector<std::vector<BYTE>>{record}, calls.replies);
}

// The data exchange on the serial road: the stream's sequence, the wait
// and the interval callback. Without chunks given, the stand-in cuts the
// reply into chunks of 5120 bytes; given, they come as a broken serial
// library may send them: the stream opens and closes once on every end the
// library reports, and a reply whose bytes did not all arrive never ends
// with 0. Without a WriteCB nothing is sent.
struct SerialCase {
    const char* name;
    DWORD dataSize = 9;  // kSilent: every poll answers 0 and nothing arrives
    std::vector<SimReplyChunk> chunks = {};
    bool writeCB = true;
    WORD progressMode = BVL_PROGRESS_NONE;
    int failingWrite = 0;  // 0: none
    DWORD pollDelayMs = 0;
    bool idleContext = true;  // without one the idle callback is never called
    DWORD idleAnswer = 0;
    DWORD timeoutMs = 5000;
    DWORD expected = 0;
    Log log = {};
};

const DWORD kSilent = SIM_MESSAGE_ECHO;
const SerialCase kSerialCases[] = {
    {.name = "EmptyReplyReports100", .dataSize = 0, .progressMode = BVL_PROGRESS_PERCENT,
     .log = {"progress 0", "open 3", "progress 100", "close"}},
    {.name = "ThreeChunksPercent", .dataSize = 12000, .progressMode = BVL_PROGRESS_PERCENT,
     .log = {"progress 0", "open 3", "write 5120", "progress 42", "write 5120", "progress 85", "write 1760",
             "progress 100", "close"}},
    {.name = "EndOnly", .dataSize = 5120, .progressMode = BVL_PROGRESS_END_ONLY,
     .log = {"open 3", "write 5120", "progress 100", "close"}},
    {.name = "WriteFailureClosesTheStream", .dataSize = 12000, .failingWrite = 2, .expected = 0x0a0000a8,
     .log = {"open 3", "write 5120", "write 5120", "close"}},
    // Stopped after the first chunk: the stream stays open for the caller.
    {.name = "TimeoutLeavesTheStreamOpen", .dataSize = 12000, .pollDelayMs = 150, .timeoutMs = 100,
     .expected = kSerialTimeout, .log = {"open 3", "write 5120"}},
    {.name = "TimeoutZero", .dataSize = kSilent, .pollDelayMs = 5, .timeoutMs = 0, .expected = kSerialTimeout},
    {.name = "NullIdleContextIsNeverCalled", .dataSize = kSilent, .pollDelayMs = 5, .idleContext = false,
     .idleAnswer = 7, .timeoutMs = 180, .expected = kSerialTimeout},
    {.name = "IdleStopsWithItsResult", .dataSize = kSilent, .pollDelayMs = 5, .idleAnswer = 7, .expected = 7},
    // A broken library's chunk sequences are SerialChunkSequences'.
    {.name = "StatusAfterAnEmptyChunkCloses", .chunks = {{0, 0, 0, 0}, {0x0207, 0, 0, 0}}, .expected = 0x0207,
     .log = {"open 3", "close"}},
    {.name = "WithoutWriteCB", .writeCB = false, .expected = BVL_E_MESSAGE_STREAM_INCOMPLETE},
};

class SerialData : public MessageExchangeTest, public ::testing::WithParamInterface<SerialCase> {};

TEST_P(SerialData, StreamSequenceAndWait) {
    const SerialCase& c = GetParam();
    camera_ = openSerial();
    simSetMessageAnswer(SIM_MESSAGE_ECHO, c.dataSize);
    simSetSerialReplyChunks(c.chunks.data(), static_cast<DWORD>(c.chunks.size()));
    if (c.dataSize == kSilent) simFailNth("serial.factry0", 0, 0);
    simDelayStep("serial.factry0", c.pollDelayMs);
    bvtest::StreamRecorder recorder(c.progressMode);
    if (!c.writeCB) recorder.stream()->WriteCB = nullptr;
    if (c.failingWrite) recorder.failOn("write", 0x0a0000a8, c.failingWrite);
    Calls calls{0, c.idleAnswer, {}};
    const DWORD start = GetTickCount();
    EXPECT_EQ(c.expected, messages().bvlMessageTxAndRecieveData(camera_, 0x1234, kPayload, sizeof kPayload,
                                                                kKind, kKind, 0, recorder.stream(), onInterval,
                                                                c.idleContext ? &calls : nullptr, c.timeoutMs));
    EXPECT_GE(GetTickCount() - start, c.expected == kSerialTimeout ? c.timeoutMs : 0);
    EXPECT_GE(calls.intervals > 0, c.idleAnswer != 0 && c.idleContext);
    EXPECT_EQ(c.log, recorder.log());
    size_t sent = 0;
    for (const SimSerialCall& call : bvtest::serialCalls()) sent += call.table == 1 && call.slot == 4;
    EXPECT_EQ(c.writeCB ? 1u : 0u, sent);
}

INSTANTIATE_TEST_SUITE_P(SerialMessage, SerialData, ::testing::ValuesIn(kSerialCases),
                         [](const ::testing::TestParamInfo<SerialCase>& i) { return std::string(i.param.name); });

// Every sequence of up to four chunks, straight into the chunk writer and
// fed on after it reported the end, with a serial library whose own result
// is 0. D is the next 3 bytes, L the last 3, S an error status, G a chunk
// past a gap, E an empty chunk. The stream opens and closes at most once and sees no write
// after its close; once the last chunk or a status ended the transfer,
// every chunk is refused with 0x0a00002d and writes nothing; the first
// error is the result, and 0 only a reply that ended with its last chunk.
TEST(SerialChunkSequences, TheTransferEndsOnceAndRefusesWhatFollows) {
    constexpr DWORD kStatus = 0x0207;
#pragma pack(push, 1)
    struct Record { bv::SerialReplyChunk chunk; BYTE data[3]; };
#pragma pack(pop)
    for (int length = 1, count = 5; length <= 4; ++length, count *= 5) {
        for (int n = 0; n < count; ++n) {
            std::string sequence;
            for (int i = 0, v = n; i < length; ++i, v /= 5) sequence += "DLSGE"[v % 5];
            SCOPED_TRACE(sequence);
            bvtest::StreamRecorder recorder(BVL_PROGRESS_NONE);
            bv::SerialDataState state = {recorder.stream(), 0, {}, {}, 0, false};
            DWORD sent = 0, first = 0;
            bool ended = false;
            for (char kind : sequence) {
                Record r = {};
                r.chunk.header.totalLength = sizeof r;
                r.chunk.status = kind == 'S' ? kStatus : 0;
                r.chunk.total = 3 * length;
                r.chunk.offset = sent + (kind == 'G');
                r.chunk.length = kind == 'E' ? 0 : 3;
                r.chunk.last = kind == 'L';
                DWORD done = 0;
                const DWORD expected = ended ? BVL_E_FILE_DATA_CORRUPT : kind == 'S' ? kStatus : 0;
                EXPECT_EQ(expected, bv::serialChunkWriter(&r.chunk.header, &state, &done)) << kind;
                if (!first) first = expected;
                sent += !ended && (kind == 'D' || kind == 'L') ? 3 : 0;
                ended |= kind == 'S' || kind == 'L';
                EXPECT_EQ(ended, done != 0);
            }
            EXPECT_EQ(first ? first : ended ? 0 : BVL_E_FILE_DATA_CORRUPT, bv::finishSerialData(state, 0));
            EXPECT_EQ(sent, recorder.written().size());
            const Log& log = recorder.log();
            EXPECT_LE(recorder.count("open 3"), 1u);
            EXPECT_EQ(recorder.count("open 3"), recorder.count("close"));
            EXPECT_TRUE(log.empty() || log.back() == "close") << "a write after the close";
        }
    }
}

// Entry 6 gets the low byte; without the serial library the call still
// returns 0.
TEST_F(MessageExchangeTest, WakeupCodeReachesTheSerialLibraryIfAny) {
    EXPECT_EQ(0u, messages().bvlSetWakeupCode(0x1c3));
    const auto serial = bvtest::serialCalls();
    ASSERT_EQ(1u, serial.size());
    EXPECT_EQ(6u, serial[0].slot);
    EXPECT_EQ(0xc3u, serial[0].args[0]);
    load(bvtest::SerialLibrary::Missing);
    EXPECT_EQ(0u, messages().bvlSetWakeupCode(1));
}

// The serial road's lines on the debugger output. Tools watch for these
// exact texts (Common/observable_texts.h): they stay byte for byte.
TEST_F(MessageExchangeTest, SerialRoadDebuggerLinesStayAsTheyAre) {
    camera_ = openSerial();
    bvlCameraPort port = bvtest::serialPort(1);
    Calls calls;
    const struct { const char* name; std::function<void()> emit; Log lines; } rows[] = {
        {"SendFails", [&] { simFailNth("serial.factry4", 1, 0x0200beef); EXPECT_EQ(0x0200beefu, reply(calls, 500)); },
         {"bvlMsgTx error\n\r"}},
        {"NoSerialLibrary", [&] {
             api().baseCloseCameraComm(camera_);
             load(bvtest::SerialLibrary::Missing);
             api().baseOpenCameraComm(&port, nullptr, 0, &camera_);
             reply(calls, 500);
         }, {"m_hBvll == NULL\n\r"}},
        {"NoMessageTable", [&] { messages().bvlSetWakeupCode(1); },
         {"m_hBvll == NULL\n\r", "GetProcAddress g_bvlFactryAPI err\n\r"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        bvtest::DebugOutputCapture capture;
        row.emit();
        EXPECT_EQ(row.lines, capture.texts());
    }
}

// A thousand exchanges, every third stopped in its command (held there
// until it is stopped, by the time-out or, one in ten of those, by the
// interval callback) and its worker let finish, as the next would meet its
// lock. No handle or block of theirs is left afterwards; the pool's
// threads hold no handle of the process.
TEST_F(MessageExchangeTest, StoppedExchangesLeaveNothingBehind) {
    ASSERT_NO_FATAL_FAILURE(openUsb());
    auto blocks = [] { return bvtest::liveGuardedBlocks(16 + sizeof kPayload) + bvtest::liveGuardedBlocks(16 + kCapacity); };
    const size_t blocksBefore = blocks();
    auto until = [](const std::function<bool()>& done) {  // a job ends just after its exchange returned
        for (int i = 0; i < 10000 && !done(); ++i) Sleep(1);
        return done();
    };
    auto settled = [&] { return until([&] { return blocks() == blocksBefore; }); };
    Calls warmUp{0, 0, {}, true};  // waits for the interval callback: this thread's message queue comes to be
    simHoldStep("sti.escape", TRUE);
    ASSERT_EQ(0u, reply(warmUp, 5000));
    ASSERT_TRUE(settled());
    DWORD handlesBefore = 0, handlesAfter = 0;
    const bool countHandles = bvtools::liveHandleCount(&handlesBefore);

    for (int i = 0; i < 1000 && !HasFailure(); ++i) {
        const bool byInterval = i % 30 == 29, byTimeout = i % 3 == 2 && !byInterval;
        Calls calls{0, byInterval ? 9u : 0u, {}};
        simHoldStep("sti.escape", byInterval || byTimeout);
        EXPECT_EQ(byInterval ? 9u : byTimeout ? 0x0c000001u : 0u, reply(calls, byTimeout ? 1 : 5000)) << i;
        simHoldStep("sti.escape", FALSE);
        EXPECT_EQ(byInterval || byTimeout ? 0u : 1u, calls.replies.size()) << i;
        EXPECT_TRUE(until([] { return simCounter("sti.locks") == 0; })) << i;
    }
    EXPECT_TRUE(settled()) << "a job's message or reply block was left";
    if (countHandles && bvtools::liveHandleCount(&handlesAfter)) {
        EXPECT_EQ(handlesBefore, handlesAfter);
    }
}

}  // namespace
