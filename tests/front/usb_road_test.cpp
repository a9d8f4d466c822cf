// The USB road of open, close and the storage operations, through the
// exported table against the Still Image stand-in and its virtual camera:
// what reaches the camera, what the caller gets, and that no device lock
// or device outlives a call.
#include <objbase.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>

#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"
#include "tools/common/handle_count.h"

using namespace bvtest;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

DWORD WINAPI answerEvent(DWORD, void*, DWORD, UINT_PTR context) { return static_cast<DWORD>(context); }

// Without a model ID the registry is not asked before the open: the camera
// names its model, its own name becomes the current model name (not that
// of an earlier subkey holding the same ID) and the installed model of
// that name gives the ID. A camera whose model is not installed opens
// with model ID 0.
TEST_F(UsbRoadTest, OpenByDeviceNameLearnsTheModelAndStoresThePort) {
    machine().addModel("0Other", &kId350, "Other");
    SimStiDevice device;
    ASSERT_TRUE(simStiDeviceAt(0, &device));
    char name[128] = {};
    WideCharToMultiByte(CP_ACP, 0, device.internalName, -1, name, sizeof name, nullptr, nullptr);
    bvlCameraPort port = usbPort(0, name);
    ASSERT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera_));
    EXPECT_EQ(100u, camera_);
    EXPECT_EQ(kId350, port.u.usb.modelID);
    EXPECT_STREQ("", port.u.usb.deviceName);

    bvlCameraPort last = {};
    EXPECT_EQ(0u, api().baseGetDevicePort(3, nullptr, 0, &last, 2));
    EXPECT_EQ(BVL_PORT_USB, last.portType);
    EXPECT_EQ(kId350, last.u.usb.modelID);

    ASSERT_EQ(0u, api().baseCloseCameraComm(camera_));
    bvlModelDescrip descrip = {};
    EXPECT_EQ(0u, api().baseGetModelDescrip(0, &descrip)) << "the current model is the camera's";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Orvel\\Brivant\\BVLL\\Brivant350");
    port = usbPort(0, name);
    EXPECT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera_));
    EXPECT_EQ(0u, port.u.usb.modelID);
}

TEST_F(UsbRoadTest, PayloadsOfListsAndSubtrees) {
    openUsb();
    EXPECT_NE(0u, api().baseDeleteFiles(camera_, "a\0"));
    EXPECT_EQ(3u, simCommandPayloadAt(lastCommand(8), nullptr, 0));

    // Attribute byte (low 8 bits of the argument), then an unaligned length.
    EXPECT_EQ(0u, api().baseSetFileAttribs(camera_, "CF\\DCIM\\BRV_0001.JPG\0", 0x101));
    EXPECT_EQ("\1" "\x16\0\0\0" "CF\\DCIM\\BRV_0001.JPG\0\0"s, payload(simCommandCount() - 1));
    EXPECT_EQ(0u, api().baseSetFileTimes(camera_, "CF\\DCIM\\BRV_0001.JPG\0", 0x12345678));
    EXPECT_EQ("\x78\x56\x34\x12" "\x16\0\0\0" "CF\\DCIM\\BRV_0001.JPG\0\0"s, payload(simCommandCount() - 1));

    // Three named entries and the empty one: 300 bytes, sent as 300 mod 256.
    std::string subtree;
    for (size_t nameLength : {98, 98, 96}) subtree += '\0' + std::string(nameLength, 'D') + '\0';
    subtree += "\0\0"s;
    ASSERT_EQ(300u, subtree.size());
    StreamRecorder listing;
    EXPECT_NE(0u, api().baseGetDirs(camera_, reinterpret_cast<const BYTE*>(subtree.data()), listing.stream()));
    EXPECT_EQ(44u, simCommandPayloadAt(lastCommand(5), nullptr, 0));
}

// The host folder of card CF.
fs::path cardFolder() {
    WCHAR folder[MAX_PATH] = {};
    EXPECT_TRUE(simCardFolder(0, folder, MAX_PATH));
    return folder;
}

// A put measures its source first and puts it back where it was; what it
// stores is on the card. Getting files back is bvcam_usb_get_all's and the
// chunk table's.
TEST_F(UsbRoadTest, PutKeepsEveryByte) {
    openUsb();
    ASSERT_EQ(0u, api().baseCreateDir(camera_, "CF\\TRIP"));
    HostFiles expected;
    for (DWORD size : {1u, 5119u, 5120u, 5121u, 3u * 1024 * 1024}) {
        SCOPED_TRACE(size);
        const std::string name = "RT_" + std::to_string(size) + ".BIN";
        const std::string path = "CF\\TRIP\\" + name;
        StreamRecorder source;
        source.setSource(pattern(size));
        ASSERT_EQ(0u, api().basePutFile(camera_, path.c_str(), source.stream()));
        EXPECT_EQ((std::vector<std::string>{"open 1", "tell", "seek 3 0", "tell", "seek 1 0", "close", "open 1"}),
                  std::vector<std::string>(source.log().begin(), source.log().begin() + 7));
        expected[name] = pattern(size);
    }
    EXPECT_TRUE(expected == folderFiles(cardFolder() / "TRIP"));
}

// Measuring a source stops at the first failing callback, which neither a
// seek back nor CloseCB follows; an empty source measures well and is
// refused. Nothing reaches the camera. An empty file is not fetched.
TEST_F(UsbRoadTest, PutStopsAtAFailingMeasureOrAnEmptySourceAndSendsNothing) {
    openUsb();
    const std::vector<std::string> measured = {"open 1", "tell", "seek 3 0", "tell", "seek 1 0", "close"};
    const struct { const char* callback; int nth; DWORD expected; size_t logged; } cases[] = {
        {"open", 1, BVL_E_STREAM_OPEN_ERROR, 1}, {"tell", 1, BVL_E_STREAM_TELL_ERROR, 2},
        {"seek", 1, BVL_E_STREAM_SEEK_ERROR, 3}, {"tell", 2, BVL_E_STREAM_TELL_ERROR, 4},
        {"seek", 2, BVL_E_STREAM_SEEK_ERROR, 5}, {"close", 1, BVL_E_STREAM_OPEN_ERROR, 6},
        {"", 0, BVL_E_INVALID_PARAMETER, 6}};
    const DWORD commands = simCommandCount();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.callback) + std::to_string(c.nth));
        StreamRecorder source;
        source.setSource(pattern(*c.callback ? 100 : 0));
        if (*c.callback) source.failOn(c.callback, 0x0a00c0de, c.nth);
        EXPECT_EQ(c.expected, api().basePutFile(camera_, "CF\\NEW.BIN", source.stream()));
        EXPECT_EQ(std::vector<std::string>(measured.begin(), measured.begin() + c.logged), source.log());
    }
    EXPECT_EQ(commands, simCommandCount()) << "a command reached the camera";
    EXPECT_TRUE(folderFiles(cardFolder()).empty());

    std::ofstream(cardFolder() / "EMPTY.BIN").close();
    StreamRecorder back;
    EXPECT_EQ(BVL_E_FILE_NOT_FOUND, api().baseGetFile(camera_, "CF\\EMPTY.BIN", back.stream()));
    EXPECT_EQ(0, simCounter("sti.locks"));
}

// Every road that hands bytes to a WriteCB, with one that takes half of
// what it is offered and one that takes nothing: the first gets every byte
// in order, the second ends the transfer with 0x0a0000a8; either way the
// stream is closed once and the device unlocked.
TEST_F(UsbRoadTest, WriteCallbacksThatTakeLessAreOfferedTheRest) {
    openUsb();
    BYTE request[4] = {1}, reply[4] = {};
    ASSERT_EQ(0u, api().baseReleaseControlEx(camera_, sizeof request, request, sizeof reply, reply));
    const BYTE subtree[] = {0, 'C', 'F', 0, 0, 'D', 'C', 'I', 'M', 0, 0, 0};
    const std::vector<BYTE> message = pattern(7000);  // echoed in three chunks
    const std::pair<const char*, LibraryCall> roads[] = {
        {"GetFile", BV_CALL(a.baseGetFile(c, "CF\\DCIM\\BRV_0001.JPG", s))},
        {"GetDirs", BV_CALL(a.baseGetDirs(c, subtree, s))},
        {"ReleasedData", BV_CALL(a.baseReleaseControlGetReleasedData(c, 0, 0, s))},
        {"DataMessage", BV_CALL(messageTable().bvlMessageTxAndRecieveData(
                            c, 1, message.data(), static_cast<DWORD>(message.size()), 5, 5, 0, s, nullptr, nullptr, 5000))},
    };
    for (const auto& [name, call] : roads) {
        SCOPED_TRACE(name);
        StreamRecorder whole, half, none;
        half.takeOnWrite(StreamRecorder::Takes::Half);
        none.takeOnWrite(StreamRecorder::Takes::Nothing);
        ASSERT_EQ(0u, call(api(), camera_, whole.stream()));
        EXPECT_EQ(0u, call(api(), camera_, half.stream()));
        EXPECT_EQ(whole.written(), half.written());
        EXPECT_EQ(BVL_E_STREAM_WRITE_ERROR, call(api(), camera_, none.stream()));
        EXPECT_EQ(1u, half.count("close"));
        EXPECT_EQ(1u, none.count("close"));
        EXPECT_EQ(0, simCounter("sti.locks"));
    }
}

// A transfer meets two closes: one from its own WriteCB, which cannot
// wait for the transfer it runs in and is refused, and one from another
// thread, which waits until the transfer gave the device back and then
// reopens. The transfer gets every byte of the device it began on.
struct Meeting {
    explicit Meeting(const bvlBaseAPI* a) : api(a) {}
    const bvlBaseAPI* api;
    std::mutex lock;
    std::vector<std::string> log;
    std::thread closer;
    size_t bytes = 0;
    void note(const char* what, DWORD rc) {
        std::lock_guard<std::mutex> g(lock);
        log.push_back(what + (" " + std::to_string(rc)));
    }
};
void WINAPI meetWrite(UINT_PTR context, const BYTE*, DWORD* count, DWORD* error) {
    auto& m = *reinterpret_cast<Meeting*>(context);
    if (!m.closer.joinable()) {
        m.note("own close", m.api->baseCloseCameraComm(100));
        m.closer = std::thread([&m] {
            m.note("closed", m.api->baseCloseCameraComm(100));
            bvlCameraPort port = usbPort(kId350);
            DWORD camera = 0;
            m.note("reopened", m.api->baseOpenCameraComm(&port, nullptr, 0, &camera));
        });
    }
    m.bytes += *count;
    *error = 0;
}
void WINAPI meetClose(UINT_PTR context, DWORD* error) {
    reinterpret_cast<Meeting*>(context)->note("stream", *error = 0);
}

TEST_F(UsbRoadTest, ClosesWaitForTheTransferTheyMeet) {
    openUsb();
    simDelayStep("sti.rawRead", 20);  // time for the closer to come; the outcome must not depend on it
    Meeting m(&api());
    bvlStream stream = {reinterpret_cast<UINT_PTR>(&m), 0, 0, BVL_PROGRESS_NONE, nullptr, meetClose, nullptr,
                        meetWrite, nullptr, nullptr, nullptr};
    EXPECT_EQ(0u, api().baseGetFile(camera_, "CF\\DCIM\\BRV_0001.JPG", &stream));
    m.closer.join();
    EXPECT_EQ(12000u, m.bytes);
    EXPECT_EQ((std::vector<std::string>{"own close " + std::to_string(BVL_E_CONNECTION_IN_USE), "stream 0",
                                        "closed 0", "reopened 0"}),
              m.log);
}

// Two threads fetch a file again and again while this one closes and reopens the camera: each
// fetch gets the whole file or a clear code, each close and open succeeds, no device is left.
TEST_F(UsbRoadTest, TransfersOnManyThreadsWhileTheCameraReopens) {
    openUsb();
    std::atomic<bool> reopening{true};
    auto fetch = [&] {
        while (reopening) {
            StreamRecorder file(BVL_PROGRESS_NONE);
            const DWORD rc = api().baseGetFile(camera_, "CF\\DCIM\\BRV_0002.JPG", file.stream());
            if (rc == 0) EXPECT_EQ(5120u, file.written().size());
            else EXPECT_TRUE(rc == BVL_E_NO_DEVICE_OPEN || rc == 0x02000081) << std::hex << rc;  // lock held
        }
    };
    std::thread first(fetch), second(fetch);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(0u, api().baseCloseCameraComm(camera_));
        openUsb();
    }
    reopening = false;
    first.join();
    second.join();
}

// Runs body on a new thread of the application in an apartment of the
// model (or none) and waits for it.
constexpr DWORD kNoCom = MAXDWORD, kSameThread = MAXDWORD - 1;
void onThread(DWORD model, const std::function<void()>& body) {
    std::thread([&] {
        if (model != kNoCom) CoInitializeEx(nullptr, model);
        body();
        if (model != kNoCom) CoUninitialize();
    }).join();
}
// Whether this thread is still in its apartment of the model: one more
// initialisation only counts up then.
bool keptApartment(DWORD model) {
    if (model == kNoCom) return true;
    const HRESULT hr = CoInitializeEx(nullptr, model);
    CoUninitialize();
    return hr == S_FALSE;
}

// The application's apartments survive any open and close: on one thread
// or two (the opener still running), in either model, closed twice; and on
// a thread that reuses the id of one that opened (where the library
// initialised COM) and ended.
TEST_F(UsbRoadTest, ApplicationApartmentsSurvive) {
    const struct { const char* name; DWORD opener, closer; } rows[] = {
        {"Sta", COINIT_APARTMENTTHREADED, kSameThread}, {"Mta", COINIT_MULTITHREADED, kSameThread},
        {"StaThenMta", COINIT_APARTMENTTHREADED, COINIT_MULTITHREADED},
        {"MtaThenSta", COINIT_MULTITHREADED, COINIT_APARTMENTTHREADED},
        {"NoneThenSta", kNoCom, COINIT_APARTMENTTHREADED},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        onThread(row.opener, [&] {
            openUsb();
            const DWORD closerModel = row.closer == kSameThread ? row.opener : row.closer;
            auto closeTwice = [&] {
                EXPECT_EQ(0u, api().baseCloseCameraComm(camera_));
                EXPECT_EQ(BVL_E_NO_DEVICE_OPEN, api().baseCloseCameraComm(camera_));
                EXPECT_TRUE(keptApartment(closerModel));
            };
            if (row.closer == kSameThread) closeTwice();
            else onThread(row.closer, closeTwice);
            EXPECT_TRUE(keptApartment(row.opener));
        });
    }
    DWORD openerId = 0;
    onThread(kNoCom, [&] { openUsb(), openerId = GetCurrentThreadId(); });
    bool reused = false;
    for (int i = 0; i < 5000 && !reused; ++i)
        onThread(kNoCom, [&] {
            if (!(reused = GetCurrentThreadId() == openerId)) return;
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            EXPECT_EQ(0u, api().baseCloseCameraComm(camera_));
            EXPECT_TRUE(keptApartment(COINIT_MULTITHREADED)) << "the reusing thread lost its apartment";
            CoUninitialize();
        });
    EXPECT_TRUE(reused) << "no thread reused the id";
}

// A serial open while the USB camera is open closes the USB side whole
// before it loads the serial library: the event channel's thread and
// objects, the device, the service instance and the library's COM on this
// thread. The serial library is missing here: each load of it leaves two
// handles behind in a 32-bit process, which are not the USB side's.
TEST_F(UsbRoadTest, SerialOpenClosesTheUsbConnectionWhole) {
    load(SerialLibrary::Missing);
    openUsb();  // what the first open of a process sets up once is not counted
    api().baseCloseCameraComm(camera_);
    DWORD threads = 0, handles = 0, threadsAfter = 0, handlesAfter = 0;
    ASSERT_TRUE(bvtools::liveThreadCount(&threads) && bvtools::liveHandleCount(&handles));
    openUsb();
    bvlCameraPort serial = serialPort(1);
    EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseOpenCameraComm(&serial, nullptr, 0, &camera_));
    ASSERT_TRUE(bvtools::liveThreadCount(&threadsAfter) && bvtools::liveHandleCount(&handlesAfter));
    EXPECT_EQ(threads, threadsAfter);
    EXPECT_EQ(handles, handlesAfter);
    EXPECT_EQ(0, simCounter("sti.devices") + simCounter("sti.instances"));
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "the library's apartment stayed";
    CoUninitialize();
}

// FreeLibrary while the camera is open and its channel runs: the channel's
// thread keeps the library mapped and delivering; a close through a new
// load ends the channel (the driver sees no listener) and the thread,
// which takes its reference along.
TEST_F(UsbRoadTest, FreedLibraryStaysWhileTheChannelRunsAndGoesAfterTheClose) {
    openUsb(answerEvent, 0x600d);
    ASSERT_TRUE(simDriverOpenChannel(kModelName, kDevicePort));
    const HMODULE mapped = GetModuleHandleW(L"bvcl2sti.dll");
    unload();
    EXPECT_EQ(mapped, GetModuleHandleW(L"bvcl2sti.dll")) << "unloaded under the channel's thread";
    DWORD answer = 0;
    EXPECT_TRUE(simDriverRaiseEvent(0x10002, nullptr, 0, 5000, &answer));
    EXPECT_EQ(0x600du, answer);
    load(bvtest::SerialLibrary::Present);
    EXPECT_EQ(0u, api().baseCloseCameraComm(camera_));
    EXPECT_EQ(0u, simDriverListening());
    simDriverCloseChannel();
    unload();
    for (int i = 0; i < 100 && GetModuleHandleW(L"bvcl2sti.dll"); ++i) Sleep(10);
    EXPECT_EQ(nullptr, GetModuleHandleW(L"bvcl2sti.dll")) << "the channel's thread kept the library";
    load(bvtest::SerialLibrary::Present);
}

// The operations whose command takes the device lock for the transfer
// after it. A good run of each is recorded, and each stand-in step call of
// it fails in turn with a vendor code: the code comes back unchanged and
// the device is unlocked, except after a refused unlock, whose lock the
// close of the camera ends (the fixture checks that).
enum class Operation { Get, Put, ViewFinder };

DWORD runOperation(const bvlBaseAPI& api, DWORD camera, Operation operation) {
    StreamRecorder stream;
    switch (operation) {
    case Operation::Get: return api.baseGetFile(camera, "CF\\DCIM\\BRV_0001.JPG", stream.stream());
    case Operation::Put:
        stream.setSource(pattern(6000));
        return api.basePutFile(camera, "CF\\DCIM\\NEW.BIN", stream.stream());
    case Operation::ViewFinder: return api.baseReleaseControlGetViewFinderData(camera, stream.stream());
    }
    return MAXDWORD;
}

struct StepFault { Operation operation; StepCall call; };

void PrintTo(const StepFault& f, std::ostream* os) { *os << f.call.name(); }

std::vector<StepFault> stepFaults(Operation operation) {
    StandIns world;
    installModels();
    ProductLibrary product;
    bvlCameraPort port = usbPort(kId350);
    DWORD camera = 0;
    const DWORD opened = product.loaded() ? product.api().baseOpenCameraComm(&port, nullptr, 0, &camera) : MAXDWORD;
    std::vector<StepFault> faults;
    for (const StepCall& call :
         recordGoodRun([&] { return opened != 0 ? opened : runOperation(product.api(), camera, operation); }))
        faults.push_back({operation, call});
    if (opened == 0) product.api().baseCloseCameraComm(camera);
    return faults;
}

class StepFaults : public UsbRoadTest, public ::testing::WithParamInterface<StepFault> {};

TEST_P(StepFaults, CodeComesBackAndTheDeviceIsUnlocked) {
    const StepFault& f = GetParam();
    ASSERT_FALSE(f.call.step.empty()) << "no good run of the operation could be recorded";
    openUsb();
    simFailNth(f.call.step.c_str(), f.call.nth, 0x0200beef);
    EXPECT_EQ(0x0200beefu, runOperation(api(), camera_, f.operation));
    EXPECT_EQ(f.call.step == "sti.unlock" ? 1 : 0, simCounter("sti.locks"));
}

std::string caseName(const ::testing::TestParamInfo<StepFault>& i) { return i.param.call.name(); }

INSTANTIATE_TEST_SUITE_P(Get, StepFaults, ::testing::ValuesIn(stepFaults(Operation::Get)), caseName);
INSTANTIATE_TEST_SUITE_P(Put, StepFaults, ::testing::ValuesIn(stepFaults(Operation::Put)), caseName);
INSTANTIATE_TEST_SUITE_P(ViewFinder, StepFaults, ::testing::ValuesIn(stepFaults(Operation::ViewFinder)),
                         caseName);

}  // namespace
