// The registry store against the real (Wine) registry, below a scratch key
// that stands in for the local-machine hive.
#include <gtest/gtest.h>

#include <cstring>

#include "Common/bvWinReg.h"
#include "front/device_port.h"
#include "tests/support/camera_world.h"
#include "tools/common/handle_count.h"

namespace {

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

    // The file and line of the registry error a lookup missed with; "none"
    // when it did not miss.
    static std::string missOf(const bv::RegistryStatus& status) {
        return status.ok() ? "none" : std::string(status.file) + ":" + std::to_string(status.line);
    }

    static constexpr const char* kScratch = "Software\\Bvcl2StiTests\\RegistryStore";
    HKEY root_ = nullptr;
};

// Subkeys without modelID or modelName, or with an empty one (an
// installer's leftovers), are passed over by every lookup.
TEST_F(RegistryStoreTest, ModelLookupTakesTheFirstModelInEnumerationOrder) {
    writer().addModel("0noID", nullptr, "Brivant 350", &kUsbOnly);
    writer().addModel("1emptyName", &kIdA, "", &kUsbOnly);
    writer().addModel("2noName", &kIdA, nullptr, &kUsbOnly);
    writer().addModel("A350", &kIdA, "Brivant 350", &kBoth);
    writer().addModel("B350copy", &kIdA, "Brivant 350", &kSerialOnly);

    char key[bv::kModelKeyNameSize];
    EXPECT_EQ("none", missOf(store().TryFindModelKeyByID(kIdA, key, sizeof key)));
    EXPECT_STREQ("A350", key);
    EXPECT_EQ("none", missOf(store().TryFindModelKeyByName("Brivant 350", key, sizeof key)));
    EXPECT_STREQ("A350", key);
    DWORD method = 0;
    EXPECT_EQ("none", missOf(store().TryReadInstallMethod(&method, kIdA)));
    EXPECT_EQ(kBoth, method);
    EXPECT_EQ(kIdA, store().ReadModelIDOr("Brivant 350", 0));
    const std::string full(bv::kModelTextSize, 'N');  // no room for a terminator
    writer().setModelValue("A350", "modelName", full.data(), bv::kModelTextSize, REG_BINARY);
    char name[bv::kModelTextSize + 8];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ("none", missOf(store().TryReadModelName(kIdA, name)));
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
    EXPECT_EQ("none", missOf(store().TryFindModelKeyByID(kIdA, key, sizeof key)));
    EXPECT_STREQ(longest, key);
    EXPECT_EQ("Bvwinreg:65", missOf(store().TryFindModelKeyByID(kIdC, key, sizeof key)));
}

// The file and line of each kind of failure reach the error report, so
// they are observed texts (observable_texts.h): 28 a missing key list, 36 a missing value, 65 and 84 a
// model not found by ID and by name.
TEST_F(RegistryStoreTest, LookupMissesCarryTheirLines) {
    BOOL installed;
    EXPECT_EQ("bvWinReg:28", missOf(store().TryIsUSBInstalled(&installed)));  // no model list
    writer().addModel("A", &kIdA, "Brivant 350", &kBoth);
    char key[bv::kModelKeyNameSize];
    EXPECT_EQ("Bvwinreg:65", missOf(store().TryFindModelKeyByID(kIdB, key, sizeof key)));
    EXPECT_EQ("Bvwinreg:84", missOf(store().TryFindModelKeyByName("brivant 350", key, sizeof key)));
    char name[bv::kModelTextSize];
    EXPECT_EQ("Bvwinreg:65", missOf(store().TryReadModelName(kIdB, name)));

    // A model without installMethod.
    writer().addModel("D", &kIdB, "Brivant 200");
    DWORD method;
    EXPECT_EQ("bvWinReg:36", missOf(store().TryReadInstallMethod(&method, kIdB)));
}

TEST_F(RegistryStoreTest, UsbIsInstalledWhenAnyModelHasBitOne) {
    writer().addModel("A", &kIdA, "a", &kSerialOnly);
    writer().addModel("B", &kIdB);  // no installMethod: skipped
    writer().addModel("B2", nullptr, "b", &kUsbOnly);  // no model
    EXPECT_FALSE(store().IsUSBInstalledOr(TRUE));
    writer().addModel("C", &kIdC, "c", &kBoth);
    EXPECT_TRUE(store().IsUSBInstalledOr(FALSE));
}

TEST_F(RegistryStoreTest, ReadPortFromAModelHasNoFallback) {
    writer().addModel("A", &kIdA, "a");
    bvlCameraPort port = {};
    EXPECT_EQ("bvWinReg:36", missOf(store().TryReadPortSetting(&port, "defaultPort", kIdA)));
    bvlCameraPort stored = bvtest::usbPort(kIdA);
    writer().setModelValue("A", "defaultPort", &stored, 50);  // a short value fills the first bytes
    std::memset(&port, 0xee, sizeof port);
    EXPECT_EQ("none", missOf(store().TryReadPortSetting(&port, "defaultPort", kIdA)));
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
    EXPECT_EQ(7, store().ReadLastPortTypeOr("lastPort", 7)) << "no library key: the fallback";
    writer().addLibraryKeys();
    EXPECT_EQ(0, store().ReadLastPortTypeOr("defaultPort", 7));
    const DWORD wide = 0x10003;  // only the low 16 bits count
    writer().setLibraryValue("", "defaultModel", &wide, 4, REG_DWORD);
    EXPECT_EQ(3, store().ReadLastPortTypeOr("defaultPort", 7));
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
        store().TryFindModelKeyByID(kIdA, key, sizeof key);                      // passes 0broken
        store().TryFindModelKeyByName("Broken", key, sizeof key);               // misses 84
        store().TryReadPortSetting(&port, "lastPort", 0);                         // falls back
        store().WritePortSetting(&port, "lastPort", 0);
        store().WritePortSetting(&port, "lastPort", kIdA);                     // misses inside
        store().IsUSBInstalledOr(FALSE);
    }
    ASSERT_TRUE(bvtools::liveHandleCount(&after));
    EXPECT_EQ(before, after);
}

// C++ exceptions thrown in this process: on x86_64 the unwinder's
// first-chance exceptions that a vectored handler sees, on i686 (whose
// unwinder raises none) the calls of __cxa_throw, which the test program
// wraps at link time.
LONG g_throws = 0;
#if defined(_WIN64)
LONG CALLBACK countThrow(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode == 0x20474343) InterlockedIncrement(&g_throws);
    return EXCEPTION_CONTINUE_SEARCH;
}
#endif

// No model installed, then models without the library's port keys: the
// stored-port requests, the port store and the model fallbacks take their
// defaults without throwing.
TEST(RegistryMisses, FallbacksThrowNothing) {
    bvtest::machine().clear();
    const bv::RegistryStore registry = bv::machineRegistry();
#if defined(_WIN64)
    void* handler = AddVectoredExceptionHandler(1, countThrow);
#endif
    const LONG before = g_throws;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "no model installed" : "no port keys");
        for (DWORD request : {1u, 3u})
            for (DWORD modelID : {DWORD{0}, bvtest::kId350, bvtest::kId500})
                for (DWORD kind : {0u, 1u, 2u}) {
                    bvlCameraPort port = {};
                    bv::lookUpDevicePort(request, nullptr, modelID, &port, kind);
                    registry.WritePortSetting(&port, "lastPort", modelID);
                }
        EXPECT_EQ(0u, registry.ReadModelIDOr("Brivant 999", 0));
        registry.IsUSBInstalledOr(FALSE);
        EXPECT_EQ(before, g_throws);
        const DWORD both = 3;
        bvtest::machine().addModel("Brivant350", &bvtest::kId350, "Brivant 350", &both);
    }
#if defined(_WIN64)
    RemoveVectoredExceptionHandler(handler);
#endif
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

