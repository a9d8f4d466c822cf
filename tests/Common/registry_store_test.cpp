// The registry store against the real (Wine) registry, below a scratch key
// that stands in for the local-machine hive.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "Common/bvWinReg.h"
#include "front/device_port.h"
#include "tests/support/camera_world.h"
#include "tools/common/handle_count.h"

namespace {

using bv::bvCDeviceException;

const DWORD kIdA = 0x70333036, kIdB = 0x70323030, kIdC = 0x70353030;
const DWORD kSerialOnly = 1, kUsbOnly = 2, kBoth = 3;

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &root_, nullptr));
    }
    void TearDown() override {
        RegCloseKey(root_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    }

    bv::RegistryStore store() const { return bv::RegistryStore(root_); }
    bvtest::RegistryWriter writer() const { return bvtest::RegistryWriter(root_); }

    // The file and line of the registry error that call raises; "none" when
    // it raises nothing.
    static std::string raisedBy(const std::function<void()>& call) {
        try {
            call();
        } catch (const bvCDeviceException& e) {
            EXPECT_EQ(BVL_E_REGISTRY, e.code);
            return std::string(e.file) + ":" + std::to_string(e.line);
        }
        return "none";
    }

    static constexpr const char* kScratch = "Software\\Bvcl2StiTests\\RegistryStore";
    HKEY root_ = nullptr;
};

TEST_F(RegistryStoreTest, ModelLookupTakesTheFirstMatchInEnumerationOrder) {
    writer().addModel("A350", &kIdA, "Brivant 350", &kBoth);
    writer().addModel("B350copy", &kIdA, "Brivant 350", &kSerialOnly);

    char key[bv::kModelKeyNameSize];
    store().FindModelKeyByID(kIdA, key, sizeof key);
    EXPECT_STREQ("A350", key);
    store().FindModelKeyByName("Brivant 350", key, sizeof key);
    EXPECT_STREQ("A350", key);
    DWORD method = 0;
    store().ReadInstallMethod(&method, kIdA);
    EXPECT_EQ(kBoth, method);
    const std::string full(bv::kModelTextSize, 'N');  // no room for a terminator
    writer().setModelValue("A350", "modelName", full.data(), bv::kModelTextSize, REG_BINARY);
    char name[bv::kModelTextSize + 8];
    std::memset(name, 'x', sizeof name);
    store().ReadModelName(kIdA, name);
    EXPECT_EQ(full.substr(1), name) << "cut to the field, never past it";
}

// Key names too long for a model key (another installer's) are skipped:
// one of 64 characters or more no longer ends the list before the models
// after it, and one of 32 to 63 is never cut into another model's name.
// The longest that fits, 31 characters, is kept whole.
TEST_F(RegistryStoreTest, KeyNamesTooLongForAModelAreSkipped) {
    const char* longest = "ModelKeyNameOfThirtyOneLetters_";
    writer().addModel(std::string(70, 'A').c_str(), &kIdB, "Brivant 200", &kBoth);
    writer().addModel(std::string(40, 'B').c_str(), &kIdC, "Brivant 500", &kBoth);
    writer().addModel(longest, &kIdA, "Brivant 350", &kBoth);
    char key[bv::kModelKeyNameSize];
    std::memset(key, 'x', sizeof key);
    store().FindModelKeyByID(kIdA, key, sizeof key);
    EXPECT_STREQ(longest, key);
    EXPECT_EQ("Bvwinreg:65", raisedBy([&] { store().FindModelKeyByID(kIdC, key, sizeof key); }));
}

// The file and line of each kind of failure reach the error report, so
// they are observed texts (observable_texts.h): 28 a missing key list, 36 a missing value, 65 and 84 a
// model not found by ID and by name.
TEST_F(RegistryStoreTest, LookupFailuresRaiseTheirLines) {
    EXPECT_EQ("bvWinReg:28", raisedBy([&] { store().IsUSBInstalled(); }));  // no model list
    writer().addModel("A", &kIdA, "Brivant 350", &kBoth);
    char key[bv::kModelKeyNameSize];
    EXPECT_EQ("Bvwinreg:65", raisedBy([&] { store().FindModelKeyByID(kIdB, key, sizeof key); }));
    EXPECT_EQ("Bvwinreg:84", raisedBy([&] { store().FindModelKeyByName("brivant 350", key, sizeof key); }));
    char name[bv::kModelTextSize];
    EXPECT_EQ("Bvwinreg:65", raisedBy([&] { store().ReadModelName(kIdB, name); }));

    // A model without installMethod.
    writer().addModel("D", &kIdB, "Brivant 200");
    DWORD method;
    EXPECT_EQ("bvWinReg:36", raisedBy([&] { store().ReadInstallMethod(&method, kIdB); }));
}

// Subkeys without modelID or modelName, or with an empty one, ahead of the
// model (an installer's leftovers) are passed over by every lookup.
TEST_F(RegistryStoreTest, SubkeysWithoutTheirValuesAreSkipped) {
    writer().addModel("0noID", nullptr, "Brivant 350", &kUsbOnly);
    writer().addModel("1emptyName", &kIdA, "", &kUsbOnly);
    writer().addModel("2noName", &kIdA, nullptr, &kUsbOnly);
    writer().addModel("A", &kIdA, "Brivant 350", &kSerialOnly);
    char key[bv::kModelKeyNameSize];
    store().FindModelKeyByID(kIdA, key, sizeof key);
    EXPECT_STREQ("A", key);
    store().FindModelKeyByName("Brivant 350", key, sizeof key);
    EXPECT_STREQ("A", key);
    EXPECT_EQ(kIdA, store().ReadModelIDOr("Brivant 350", 0));
    EXPECT_EQ(kSerialOnly, store().ReadInstallMethodOr(kIdA, 0));
    EXPECT_FALSE(store().IsUSBInstalled());
}

TEST_F(RegistryStoreTest, UsbIsInstalledWhenAnyModelHasBitOne) {
    writer().addModel("A", &kIdA, "a", &kSerialOnly);
    writer().addModel("B", &kIdB);  // no installMethod: skipped
    EXPECT_FALSE(store().IsUSBInstalled());
    writer().addModel("C", &kIdC, "c", &kBoth);
    EXPECT_TRUE(store().IsUSBInstalled());
}

TEST_F(RegistryStoreTest, ReadPortFromAModelHasNoFallback) {
    writer().addModel("A", &kIdA, "a");
    bvlCameraPort port = {};
    EXPECT_EQ("bvWinReg:36", raisedBy([&] { store().ReadPortSetting(&port, "defaultPort", kIdA); }));
    bvlCameraPort stored = bvtest::usbPort(kIdA);
    writer().setModelValue("A", "defaultPort", &stored, 50);  // a short value fills the first bytes
    std::memset(&port, 0xee, sizeof port);
    store().ReadPortSetting(&port, "defaultPort", kIdA);
    EXPECT_EQ(0, std::memcmp(&stored, &port, 50));
    EXPECT_EQ(0xee, reinterpret_cast<BYTE*>(&port)[50]);
}

// A stored port goes under its kind with the kind as lastModel; the USB
// and serial opens read theirs back through baseGetDevicePort. A port of
// type 0 writes only lastModel, an unknown model nothing.
TEST_F(RegistryStoreTest, WritePortStoresUnderItsKindAndType) {
    writer().addLibraryKeys();
    const bvlCameraPort usb = bvtest::usbPort(kIdA);
    bvlCameraPort back = {};
    DWORD size = sizeof back, type = 0, typeSize = 4;
    const bvlCameraPort none = {};
    store().WritePortSetting(&none, "lastPort", 0);
    ASSERT_TRUE(writer().readLibraryValue("", "lastModel", &type, &typeSize));
    EXPECT_EQ(0u, type);
    EXPECT_FALSE(writer().readLibraryValue("SERIAL", "lastPort", &back, &size));

    // An unknown model ID writes nothing and returns normally.
    store().WritePortSetting(&usb, "lastPort", kIdC);
    writer().addModel("A", &kIdA, "a");
    store().WritePortSetting(&usb, "lastPort", kIdA);
    size = sizeof back;
    EXPECT_TRUE(writer().readModelValue("A", "lastPort", &back, &size));
}

TEST_F(RegistryStoreTest, LastPortTypeIsZeroWhenUnreadable) {
    EXPECT_EQ("bvWinReg:28", raisedBy([&] { store().ReadLastPortType("lastPort"); }));
    EXPECT_EQ(7, store().ReadLastPortTypeOr("lastPort", 7)) << "the form that falls back raised";
    writer().addLibraryKeys();
    EXPECT_EQ(0, store().ReadLastPortType("defaultPort"));
    const DWORD wide = 0x10003;  // only the low 16 bits count
    writer().setLibraryValue("", "defaultModel", &wide, 4, REG_DWORD);
    EXPECT_EQ(3, store().ReadLastPortType("defaultPort"));
}

TEST_F(RegistryStoreTest, NoKeyHandleOutlivesALookup) {
    writer().addModel("0broken", nullptr);
    writer().addModel("A", &kIdA, "Brivant 350", &kBoth);
    writer().addLibraryKeys();
    DWORD before = 0, after = 0;
    ASSERT_TRUE(bvtools::liveHandleCount(&before));
    for (int i = 0; i < 1000; ++i) {
        char key[bv::kModelKeyNameSize];
        bvlCameraPort port = {};
        store().FindModelKeyByID(kIdA, key, sizeof key);                      // passes 0broken
        raisedBy([&] { store().FindModelKeyByName("Broken", key, sizeof key); });  // raises 84
        store().ReadPortSetting(&port, "lastPort", 0);                         // falls back
        store().WritePortSetting(&port, "lastPort", 0);
        store().WritePortSetting(&port, "lastPort", kIdA);                     // raises inside
        store().IsUSBInstalled();
    }
    ASSERT_TRUE(bvtools::liveHandleCount(&after));
    EXPECT_EQ(before, after);
}

// C++ exceptions thrown in this process while one lives: on x86_64 the
// first-chance exceptions of the unwinder that a vectored handler sees, on
// i686 (whose unwinder raises none) the calls of __cxa_throw, which the
// test program wraps at link time.
LONG g_throws = 0;

class ThrowCount {
public:
#if defined(_WIN64)
    ThrowCount() : handler_(AddVectoredExceptionHandler(1, &ThrowCount::seen)) {}
    ~ThrowCount() { RemoveVectoredExceptionHandler(handler_); }
#else
    ThrowCount() = default;
#endif
    LONG count() const { return g_throws - start_; }

private:
#if defined(_WIN64)
    static LONG CALLBACK seen(EXCEPTION_POINTERS* info) {
        if (info->ExceptionRecord->ExceptionCode == 0x20474343) InterlockedIncrement(&g_throws);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    void* handler_;
#endif
    LONG start_ = g_throws;
};

// No model installed, then models without the library's port keys: the
// stored-port requests, the port store and the model fallbacks take their
// defaults without throwing.
TEST(RegistryMisses, FallbacksThrowNothing) {
    bvtest::machine().clear();
    const bv::RegistryStore registry = bv::machineRegistry();
    ThrowCount throws;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "no model installed" : "no port keys");
        for (DWORD request : {1u, 3u}) {
            for (DWORD modelID : {DWORD{0}, bvtest::kId350, bvtest::kId500}) {
                for (DWORD kind : {0u, 1u, 2u}) {
                    bvlCameraPort port = {};
                    bv::lookUpDevicePort(request, nullptr, modelID, &port, kind);
                    registry.WritePortSetting(&port, "lastPort", modelID);
                }
            }
        }
        EXPECT_EQ(0u, registry.ReadModelIDOr("Brivant 999", 0));
        registry.IsUSBInstalledOr(FALSE);
        EXPECT_EQ(0, throws.count());
        const DWORD both = 3;
        bvtest::machine().addModel("Brivant350", &bvtest::kId350, "Brivant 350", &both);
    }
    bvtest::machine().clear();
}

}  // namespace

#if !defined(_WIN64)
extern "C" [[noreturn]] void __real___cxa_throw(void*, void*, void (*)(void*));
extern "C" [[noreturn]] void __wrap___cxa_throw(void* object, void* type, void (*destroy)(void*)) {
    InterlockedIncrement(&g_throws);
    __real___cxa_throw(object, type, destroy);
}
#endif

