// Every storage, settings and message operation against a camera and
// driver that answer like a broken or malicious device (the stand-ins'
// seeded hostile mode; the seed is in the failure's trace, so a failure
// replays). No operation may crash, hang or leave its stream open or the
// device locked, no picture may carry bytes the camera did not send, and
// afterwards the camera works as before.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/guarded_records.h"
#include "tests/support/stream_recorder.h"

namespace {

constexpr char kPicture[] = "CF\\DCIM\\BRV_0001.JPG";
constexpr DWORD kMessageTimeoutMs = 300;
constexpr DWORD kBaseLimitMs = 5000;  // base operations have no time-out of their own

DWORD WINAPI answerEvent(DWORD, void* data, DWORD size, UINT_PTR) {
    volatile BYTE sum = 0;
    for (DWORD i = 0; i < size && i < 64; ++i) sum += static_cast<const BYTE*>(data)[i];
    return 1;
}

DWORD WINAPI takeReply(dePC_MESSAGE* reply, void*, DWORD* done) {
    *done = reply->totalLength > 0;
    return 0;
}

struct Operation {
    const char* name;
    bvtest::LibraryCall run;
    bool message = false;
};

// Every record handed to the library is guarded and as large as the call
// writes: a model description, a port descriptor, 32 bytes for a setting.
class HostileCamera : public BoundaryTest {
protected:
    const BYTE* subtree = records_.copy({BYTE(0), BYTE('C'), BYTE('F'), BYTE(0), BYTE(0), BYTE('D'), BYTE('C'),
                                         BYTE('I'), BYTE('M'), BYTE(0), BYTE(0), BYTE(0)});
    BYTE* value = records_.make<BYTE>(32);
    DWORD* request = records_.copy(DWORD(1));
    DWORD* reply = records_.make<DWORD>(16);
    char* owner = records_.copy("Anna");
    bvlModelDescrip* descrip = records_.make<bvlModelDescrip>();
    bvlCameraPort* port = records_.make<bvlCameraPort>();

    std::vector<Operation> operations() {
        return {
            {"GetVols", BV_CALL(a.baseGetVols(c, s))},
            {"GetDirs", BV_CALL(a.baseGetDirs(c, subtree, s))},
            {"GetJpegHeader", BV_CALL(a.baseGetJpegParsingHeader(c, kPicture, s))},
            {"PutFile", BV_CALL(a.basePutFile(c, "CF\\DCIM\\HOSTILE.JPG", s))},
            {"SetFileAttribs", BV_CALL(a.baseSetFileAttribs(c, "CF\\NONE.JPG\0", 1))},
            {"CreateDir", BV_CALL(a.baseCreateDir(c, "CF\\HOSTILE"))},
            {"RemoveDir", BV_CALL(a.baseRemoveDir(c, "CF\\HOSTILE"))},
            {"ModelDescrip", BV_CALL(a.baseGetModelDescrip(c, descrip))},
            {"OpenCameraPort", BV_CALL(a.baseGetOpenCameraPort(c, port))},
            {"ReadSettings", BV_CALL(a.baseReadSetting(c, 1, value) | a.baseReadSetting(c, 2, value) |
                                     a.baseReadSetting(c, 3, value) | a.baseReadSetting(c, 4, value) |
                                     a.baseReadSetting(c, 5, value))},
            {"WriteOwner", BV_CALL(a.baseWriteSetting(c, 2, owner))},
            {"Release", BV_CALL(a.baseReleaseControlEx(c, 4, request, 16, reply))},
            {"ReleasedData", BV_CALL(a.baseReleaseControlGetReleasedData(c, 0, 0, s))},
            {"ViewFinder", BV_CALL(a.baseReleaseControlGetViewFinderData(c, s))},
            {"Message", BV_CALL(bvtest::messageTable().bvlNewMessageTxRx(c, 1, "ping", 4, 5, 5, 0, takeReply, nullptr,
                                                                          64, nullptr, nullptr, kMessageTimeoutMs)),
             true},
            {"DataMessage", BV_CALL(bvtest::messageTable().bvlMessageTxAndRecieveData(
                                c, 1, "ping", 4, 5, 5, 0, s, nullptr, nullptr, kMessageTimeoutMs)),
             true},
        };
    }

    DWORD get(const char* path, std::vector<BYTE>& data) {
        bvtest::StreamRecorder destination;
        const DWORD rc = api().baseGetFile(camera_, path, destination.stream());
        data = destination.written();
        return rc;
    }
    // Runs the operation with a fresh stream; checks what must hold
    // whatever the camera answered.
    void runChecked(const Operation& op) {
        bvtest::StreamRecorder stream;
        stream.setSource(bvtest::pattern(7000));
        const DWORD start = GetTickCount();
        const DWORD rc = op.run(api(), camera_, records_.copy(*stream.stream()));
        const DWORD took = GetTickCount() - start;
        EXPECT_LT(took, op.message ? kMessageTimeoutMs + 1000 : kBaseLimitMs);
        // Each open is followed by its close before the next open.
        int open = 0;
        for (const std::string& entry : stream.log()) {
            open += entry.compare(0, 4, "open") == 0 ? 1 : entry == "close" ? -1 : 0;
            EXPECT_TRUE(open == 0 || open == 1) << entry;
        }
        const bool stopped = op.message && rc == BVL_E_MESSAGE_TIMEOUT;
        EXPECT_EQ(stopped ? open : 0, open) << "left open; rc " << std::hex << rc;
        for (int wait = 0; wait < 200 && simCounter("sti.locks") != 0; ++wait) Sleep(5);
        EXPECT_EQ(0, simCounter("sti.locks"));
    }
    // A picture fetched whole or refused, never with foreign bytes.
    void fetchPicture(const std::vector<BYTE>& truth) {
        std::vector<BYTE> data;
        const DWORD start = GetTickCount();
        if (get(kPicture, data) == 0) {
            EXPECT_LE(data.size(), truth.size());
            EXPECT_TRUE(std::equal(data.begin(), data.end(), truth.begin())) << "bytes the camera did not send";
        }
        EXPECT_LT(GetTickCount() - start, kBaseLimitMs);
    }
};

TEST_F(HostileCamera, NeitherCrashesNorHangsNorLeaks) {
    ASSERT_NO_FATAL_FAILURE(openUsb(answerEvent, 0));
    ASSERT_TRUE(simDriverOpenChannel(bvtest::kModelName, bvtest::kDevicePort));
    std::vector<BYTE> truth;
    ASSERT_EQ(0u, get(kPicture, truth));
    for (DWORD seed = 1; seed <= 30 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        simSetHostile(seed);
        fetchPicture(truth);
        for (const Operation& op : operations()) {
            SCOPED_TRACE(op.name);
            runChecked(op);
        }
        DWORD answer = 0;
        const BYTE data[8] = {6, 0, 0, 0, 0xff, 0xff, 0xff, 0xff};
        EXPECT_TRUE(simDriverRaiseEvent(SIM_EVENT_BATTERY, data, simHostileSize(), 2000, &answer));
        EXPECT_EQ(1u, answer);
    }
    simSetHostile(0);
    simDriverCloseChannel();
    std::vector<BYTE> again;
    EXPECT_EQ(0u, get(kPicture, again));
    EXPECT_EQ(truth, again);
}

// The serial library's reply chunks with error statuses, gaps and lengths
// past their record: the same checks for both message exchanges.
TEST_F(HostileCamera, SerialRepliesNeitherCrashNorLeaveTheStreamOpen) {
    camera_ = openSerial();
    for (DWORD seed = 1; seed <= 30 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        simSetHostile(seed);
        simSetMessageAnswer(SIM_MESSAGE_ECHO, 3 * 5120 + simHostileNext() % 5120);
        for (const Operation& op : operations())
            if (op.message) runChecked(op);
    }
    simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
}

}  // namespace
