// The event channel against the driver's side played by the simulator:
// names, the record handshake, delivery to the callback, the final
// event, and stopping from every state.
#include <gtest/gtest.h>

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <functional>
#include <vector>

#include "events/event_channel.h"
#include "events/event_record.h"
#include "events/object_security.h"
#include "sim/camera/bvsim.h"

namespace {

const char kModel[] = "Brivant 350";
const char kPort[] = "\\\\.\\Usbscan0";

// The driver raising an event from a thread of its own.
DWORD WINAPI raiseFromDriver(LPVOID) {
    DWORD answer;
    simDriverRaiseEvent(0x10002, nullptr, 0, 5000, &answer);
    return 0;
}

// What the callback got: the code, the size and the first 56 bytes behind the address.
struct Delivery { DWORD code, size; std::vector<BYTE> data; };

class EventChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        self_ = this;
        targets_.notifyCallback = onEvent;
        targets_.notifyContext = 0x5eed;
    }
    void TearDown() override {
        bv::StopEventChannel();
        simDriverCloseChannel();
        self_ = nullptr;
    }

    bool start(const char* model = kModel, const char* port = kPort) {
        return bv::StartEventChannel(model, port, &targets_) && simDriverOpenChannel(model, port);
    }

    static bool raise(DWORD code, const void* data, DWORD size, DWORD* answer) {
        return simDriverRaiseEvent(code, data, size, 5000, answer) != FALSE;
    }

    static DWORD WINAPI onEvent(DWORD code, void* data, DWORD size, UINT_PTR context) {
        EXPECT_EQ(0x5eedu, context);
        const BYTE* bytes = static_cast<const BYTE*>(data);
        self_->deliveries_.push_back({code, size, std::vector<BYTE>(bytes, bytes + bv::kEventDataSize)});
        if (self_->duringCallback_) self_->duringCallback_();
        return code ^ 0xffff;
    }

    // True once none of the port's three named objects exists any more (the
    // driver side has let go of its handles).
    static bool objectsGone(const char* port = kPort) {
        auto name = [port](const char* prefix) { return bv::buildObjectName(prefix, kModel, port); };
        for (int i = 0; i < 200; ++i, Sleep(10)) {
            const HANDLE handles[] = {OpenEventA(SYNCHRONIZE, FALSE, name(bv::kDriverEventPrefix).c_str()),
                                      OpenEventA(SYNCHRONIZE, FALSE, name(bv::kLibraryEventPrefix).c_str()),
                                      OpenFileMappingA(FILE_MAP_READ, FALSE, name(bv::kRecordPrefix).c_str())};
            const bool gone = !handles[0] && !handles[1] && !handles[2];
            for (HANDLE h : handles)
                if (h) CloseHandle(h);
            if (gone) return true;
        }
        return false;
    }

    static EventChannelTest* self_;
    bv::NotificationTargets targets_;
    std::vector<Delivery> deliveries_;
    std::function<void()> duringCallback_;
};

EventChannelTest* EventChannelTest::self_ = nullptr;

// At most 56 bytes come through, the rest zero, and the size is cut to
// them. An event of class 0x40000 is the final one (0x50001 has another
// class bit too): its thread ends and closes everything.
TEST_F(EventChannelTest, DeliversAndAnswersUntilTheFinalEventClosesEverything) {
    ASSERT_TRUE(start());
    EXPECT_EQ(1u, simDriverListening());
    BYTE data[56];
    for (int i = 0; i < 56; ++i) data[i] = static_cast<BYTE>(0xa0 + i);
    const struct { DWORD code, size, copied; } events[] = {
        {0x10002, 10, 10}, {0x10003, 200, 56}, {0x10004, 0, 0}, {0x50001, 0, 0}, {0x40002, 0, 0}};
    for (const auto& e : events) {
        SCOPED_TRACE(e.code);
        DWORD answer = 0;
        ASSERT_TRUE(raise(e.code, e.size ? data : nullptr, e.size, &answer));
        EXPECT_EQ(e.code ^ 0xffff, answer);
        ASSERT_FALSE(deliveries_.empty());
        EXPECT_EQ(e.copied, deliveries_.back().size);
        std::vector<BYTE> expected(data, data + e.copied);
        expected.resize(bv::kEventDataSize);
        EXPECT_EQ(expected, deliveries_.back().data);
    }
    EXPECT_EQ(5u, deliveries_.size());
    for (int i = 0; i < 200 && simDriverListening() != 0; ++i) Sleep(10);
    EXPECT_EQ(0u, simDriverListening());
    simDriverCloseChannel();
    EXPECT_TRUE(objectsGone());
}

// A close and a new open from the callback, as an application reopening
// the camera does: the old thread answers the event it delivered, then
// leaves the new channel's record, which has the same names, alone. A stop
// then clears the flag and closes the objects.
TEST_F(EventChannelTest, RestartFromTheCallbackThenStop) {
    ASSERT_TRUE(start());
    bool restarted = false;
    duringCallback_ = [&] {
        if (restarted) return;
        restarted = true;
        bv::StopEventChannel();
        bv::StartEventChannel(kModel, kPort, &targets_);
    };
    DWORD answer = 0;
    ASSERT_TRUE(raise(0x10001, nullptr, 0, &answer));
    EXPECT_EQ(0x10001u ^ 0xffff, answer);
    Sleep(200);  // the old thread has left by now
    EXPECT_EQ(1u, simDriverListening());
    ASSERT_TRUE(raise(0x10005, nullptr, 0, &answer));
    EXPECT_EQ(0x10005u ^ 0xffff, answer);
    EXPECT_EQ(2u, deliveries_.size());
    bv::StopEventChannel();
    EXPECT_EQ(0u, simDriverListening());
    EXPECT_FALSE(simDriverRaiseEvent(0x10001, nullptr, 0, 200, &answer)) << "an answer after the stop";
    simDriverCloseChannel();
    EXPECT_TRUE(objectsGone());
}

// A signal left from before the channel started is no event of this
// camera, whether the driver's event (a name another party may have taken
// first) is auto- or manual-reset: no delivery by itself, then one per event
// the driver raises. A name held by another kind of object leaves the
// channel off.
TEST_F(EventChannelTest, SignalsFromBeforeTheStartAndSquattedNamesGiveNoEvent) {
    for (BOOL manualReset : {FALSE, TRUE}) {
        SCOPED_TRACE(manualReset ? "manual reset" : "auto reset");
        deliveries_.clear();
        HANDLE early = CreateEventA(nullptr, manualReset, TRUE,
                                    bv::buildObjectName(bv::kDriverEventPrefix, kModel, kPort).c_str());
        ASSERT_TRUE(start());
        DWORD answer = 0;
        Sleep(200);
        ASSERT_TRUE(raise(0x10001, nullptr, 0, &answer));
        Sleep(200);
        EXPECT_EQ(1u, deliveries_.size());
        bv::StopEventChannel();
        simDriverCloseChannel();
        CloseHandle(early);
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, bv::buildObjectName(bv::kLibraryEventPrefix, kModel, kPort).c_str());
    EXPECT_FALSE(bv::StartEventChannel(kModel, kPort, &targets_));
    CloseHandle(mutex);
}

TEST_F(EventChannelTest, StopWaitsForTheCallback) {
    std::atomic<bool> inside{false};
    duringCallback_ = [&] { inside = true; Sleep(300); };
    ASSERT_TRUE(start());
    HANDLE driver = CreateThread(nullptr, 0, raiseFromDriver, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, driver);
    while (!inside) Sleep(1);
    bv::StopEventChannel();
    EXPECT_EQ(1u, deliveries_.size());
    WaitForSingleObject(driver, INFINITE);
    CloseHandle(driver);
}

// The driver names its objects with backslashes as blanks, cut to 127
// characters: the second channel's port has backslashes and its model is
// too long. Without a callback the answer is zero.
TEST_F(EventChannelTest, SecondStartReplacesTheFirstChannel) {
    ASSERT_TRUE(start(kModel, "port-one"));
    simDriverCloseChannel();
    targets_.notifyCallback = nullptr;
    ASSERT_TRUE(start(std::string(200, 'm').c_str()));
    EXPECT_TRUE(objectsGone("port-one"));
    DWORD answer = 7;
    EXPECT_TRUE(raise(0x10001, nullptr, 0, &answer));
    EXPECT_EQ(0u, answer);
}

// Writes code over a function of this process; returns what was there.
std::vector<BYTE> overwrite(void* function, const std::vector<BYTE>& code) {
    BYTE* at = static_cast<BYTE*>(function);
    std::vector<BYTE> was(at, at + code.size());
    DWORD protection;
    VirtualProtect(at, code.size(), PAGE_EXECUTE_READWRITE, &protection);
    std::memcpy(at, code.data(), code.size());
    VirtualProtect(at, code.size(), protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), at, code.size());
    return was;
}

// mov eax (rax), target; jmp eax (rax)
std::vector<BYTE> jumpTo(void* target) {
    std::vector<BYTE> code = sizeof target == 8 ? std::vector<BYTE>{0x48, 0xb8} : std::vector<BYTE>{0xb8};
    const BYTE* address = reinterpret_cast<const BYTE*>(&target);
    code.insert(code.end(), address, address + sizeof target);
    code.insert(code.end(), {0xff, 0xe0});
    return code;
}

DWORD WINAPI refuseAcl(ULONG, PEXPLICIT_ACCESS_A, PACL, PACL*) {
    SetLastError(ERROR_INVALID_SID);
    return ERROR_INVALID_PARAMETER;
}

// SetEntriesInAclA refuses: the report names the thread's last error, not
// the call's result, and what was built is released.
TEST(ObjectSecurity, ARefusedAccessListReportsTheLastSystemError) {
    void* setEntries = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "SetEntriesInAclA"));
    ASSERT_NE(nullptr, setEntries);
    int out[2];
    ASSERT_EQ(0, _pipe(out, 4096, _O_BINARY));
    std::fflush(stdout);
    const int saved = _dup(_fileno(stdout));
    _dup2(out[1], _fileno(stdout));
    const std::vector<BYTE> was = overwrite(setEntries, jumpTo(reinterpret_cast<void*>(refuseAcl)));
    bv::SecurityContext context;
    SECURITY_ATTRIBUTES attributes = {};
    EXPECT_FALSE(bv::BuildSharedObjectSecurity(&context, &attributes));
    overwrite(setEntries, was);
    std::fflush(stdout);
    _dup2(saved, _fileno(stdout));
    _close(out[1]);
    char printed[64] = {};
    _read(out[0], printed, sizeof printed - 1);
    EXPECT_STREQ("SetEntriesInAcl Error 1337\n", printed);
    EXPECT_FALSE(context.everyone || context.administrators || context.accessList || context.descriptor);
    _close(out[0]);
    _close(saved);
}

}  // namespace
