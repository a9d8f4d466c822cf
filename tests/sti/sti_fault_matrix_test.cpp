// Every call of the three transfers fails in turn: each entry of a recorded
// good run (stand-in steps and stream callbacks in order) becomes a case,
// alone and, once the stream is open, with a failing close after it. Rules:
// the first error wins, except that progress reports below 100 do not count
// and a listing's failed raw read answers BVL_E_DIR_IO_ERROR; no data moves
// after an error that counts; the stream closes once if its open succeeded;
// only a refused unlock leaves the lock held; a failing ReadCB shows one
// message box. The fixture checks that the transfer buffer is released.
#include <algorithm>
#include <string>

#include "sti_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/stream_recorder.h"

namespace {

using bvtest::StreamRecorder;

enum class Transfer { Listing, Read, Write };

constexpr DWORD kSize = 12000;  // three chunks: 5120, 5120, 1760

bool isDeviceStep(const std::string& step) { return step.compare(0, 4, "sti.") == 0; }

// The code that a failing stand-in step or stream callback reports: codes
// the library never makes itself, so a code of its own cannot pass for it.
DWORD codeOf(const std::string& step) {
    return isDeviceStep(step) ? 0x0200beef : step == "close" ? 0x0a00c105 : 0x0a00fa11;
}

bool movesData(const std::string& entry) { return entry.compare(0, 5, "write") == 0 || entry == "sti.rawWrite"; }

// Two entries, times 0, named A.JPG and B.JPG: 32 bytes with the literal's
// terminator.
const char kListing[] = "\0\0\0\0\0\0\0\0\0\0A.JPG\0\0\0\0\0\0\0\0\0\0\0B.JPG";

// Runs the transfer on the open camera with the recorder as its stream.
DWORD run(Transfer transfer, StreamRecorder& rec) {
    const std::vector<BYTE> data = transfer == Transfer::Listing ? std::vector<BYTE>(kListing, kListing + sizeof kListing)
                                                                 : bvtest::pattern(kSize);
    const DWORD size = static_cast<DWORD>(data.size());
    if (transfer == Transfer::Write) {
        rec.setSource(data);
        return bv::InStreamFuncForPutToSTI(rec.stream(), bv::kLockAround, size);
    }
    simQueueBulkData(data.data(), size);
    return transfer == Transfer::Read ? bv::InStreamFuncForGetFromSTI(rec.stream(), bv::kLockAround, size)
                                      : bv::InStreamFuncForGetFromSTIForGetDir(rec.stream(), bv::kLockAround, size);
}

// step: a stand-in step ("sti.rawRead") or a callback ("write"); moves:
// the entries of the good run that move data and still happen.
struct FaultCase {
    Transfer transfer;
    std::string step;
    int nth;
    bool closeFails;
    DWORD expected;
    size_t closes, moves;
    std::string name;
};

void PrintTo(const FaultCase& f, std::ostream* os) { *os << f.name; }

// The cases of one transfer, from a good run of it; a single empty case
// when the run could not be recorded.
std::vector<FaultCase> faultCases(Transfer transfer) {
    std::vector<std::string> good;
    {
        bvtest::StandIns world;
        if (world.stillImageIsStandIn() && bv::openDeviceByModel(world.stillImage(), bvtest::kModelName) == 0) {
            StreamRecorder rec;  // from here on: the transfer's own steps
            if (run(transfer, rec) == 0) good = rec.withSteps();
        }
        bv::releaseStiObjects();
    }
    if (good.empty()) return {FaultCase{transfer, "", 0, false, 0, 0, 0, "GoodRunRecorded"}};
    const std::vector<bvtest::StepCall> calls = bvtest::numberCalls(good);
    auto indexOf = [&](const char* step) {
        return static_cast<size_t>(std::find_if(calls.begin(), calls.end(),
                                                [&](const bvtest::StepCall& c) { return c.step == step; }) -
                                   calls.begin());
    };
    const auto opened = indexOf("open"), closed = indexOf("close");
    std::vector<FaultCase> cases;
    for (size_t at = 0; at < calls.size(); ++at) {
        const std::string& step = calls[at].step;
        const bool counts = step != "progress" || good[at] == "progress 100";
        const size_t closes = at > opened ? 1 : 0;
        const auto end = counts ? good.begin() + at + 1 : good.end();
        const std::string name = calls[at].name();
        for (bool closeFails : {false, true}) {
            if (closeFails && (step == "close" || !closes)) continue;  // no close to fail after it
            DWORD expected = counts ? codeOf(step) : 0;
            if (closeFails && closes && (!counts || closed < at)) expected = codeOf("close");
            if (transfer == Transfer::Listing && step == "sti.rawRead") expected = BVL_E_DIR_IO_ERROR;
            cases.push_back({transfer, step, calls[at].nth, closeFails, expected, closes,
                             static_cast<size_t>(std::count_if(good.begin(), end, movesData)),
                             name + (closeFails ? "ThenCloseFails" : "")});
        }
    }
    return cases;
}

class TransferFaults : public StiTransportTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TransferFaults, FirstErrorWinsAndEverythingIsReleased) {
    const FaultCase& f = GetParam();
    ASSERT_FALSE(f.step.empty()) << "no good run of the transfer could be recorded";
    openCamera();
    std::vector<bvtest::SeenMessageBox> shown;
    bvtest::MessageBoxWatch boxes(true, &shown);
    StreamRecorder rec;
    if (isDeviceStep(f.step)) simFailNth(f.step.c_str(), f.nth, codeOf(f.step));
    else rec.failOn(f.step, codeOf(f.step), f.nth);
    if (f.closeFails) rec.failOn("close", codeOf("close"));
    const DWORD listingBlock = sizeof kListing + bv::kBufferPadding;
    const size_t listingBlocks = bvtest::liveGuardedBlocks(listingBlock);

    EXPECT_EQ(f.expected, run(f.transfer, rec));
    EXPECT_EQ(f.closes, rec.count("close"));
    const std::vector<std::string> seen = rec.withSteps();
    EXPECT_EQ(f.moves, static_cast<size_t>(std::count_if(seen.begin(), seen.end(), movesData)));
    EXPECT_EQ(listingBlocks, bvtest::liveGuardedBlocks(listingBlock));
    EXPECT_EQ(f.step == "sti.unlock" ? 1 : 0, simCounter("sti.locks"));
    if (f.step == "sti.unlock") {
        EXPECT_EQ(0u, bv::unlockStiDevice());
    }
    if (bvtest::hasDisplay()) {  // an observed text (observable_texts.h): kept byte for byte
        const std::vector<std::string> box = {"InStreamFuncForPutLargeData"};
        EXPECT_EQ(f.step == "read" ? box : std::vector<std::string>{}, boxes.captions());
        for (const bvtest::SeenMessageBox& b : shown) EXPECT_EQ("ERROR from ReadCB !!!!!!!!!!!", b.text);
    }
}

std::string caseName(const ::testing::TestParamInfo<FaultCase>& i) { return i.param.name; }

INSTANTIATE_TEST_SUITE_P(Listing, TransferFaults, ::testing::ValuesIn(faultCases(Transfer::Listing)), caseName);
INSTANTIATE_TEST_SUITE_P(Read, TransferFaults, ::testing::ValuesIn(faultCases(Transfer::Read)), caseName);
INSTANTIATE_TEST_SUITE_P(Write, TransferFaults, ::testing::ValuesIn(faultCases(Transfer::Write)), caseName);

}  // namespace
