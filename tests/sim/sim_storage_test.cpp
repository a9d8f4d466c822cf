// The virtual camera's promise that the product's upload tests lean on:
// an upload appears on the card only when its last byte has arrived, and
// another command drops an unfinished one.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim/camera/bvsim.h"

namespace {

// Command 7's payload: the size, the name's length, the name.
std::vector<BYTE> putCommand(DWORD size, const std::string& name) {
    const DWORD nameLength = static_cast<DWORD>(name.size() + 1);
    std::vector<BYTE> payload(8 + nameLength);
    std::memcpy(payload.data(), &size, 4);
    std::memcpy(payload.data() + 4, &nameLength, 4);
    std::memcpy(payload.data() + 8, name.c_str(), nameLength);
    return payload;
}

bool onCard(const wchar_t* path) {
    WCHAR card[MAX_PATH];
    EXPECT_TRUE(simCardFolder(0, card, MAX_PATH));
    return GetFileAttributesW((std::wstring(card) + path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(SimStorage, UploadLandsOnlyWithItsLastByte) {
    simReset();
    const std::vector<BYTE> data(6000, 0x5a), landing = putCommand(6000, "CF\\DCIM\\NEW.JPG"),
                            cut = putCommand(6000, "CF\\DCIM\\CUT.JPG");
    ASSERT_EQ(0u, simRunCommand(7, landing.data(), static_cast<DWORD>(landing.size()), nullptr, 0));
    EXPECT_EQ(0u, simWriteBulk(data.data(), 5120));
    EXPECT_FALSE(onCard(L"\\DCIM\\NEW.JPG"));
    EXPECT_EQ(0u, simWriteBulk(data.data() + 5120, 880));
    EXPECT_TRUE(onCard(L"\\DCIM\\NEW.JPG"));

    // Another command ends an unfinished upload; its bytes go nowhere.
    ASSERT_EQ(0u, simRunCommand(7, cut.data(), static_cast<DWORD>(cut.size()), nullptr, 0));
    EXPECT_EQ(0u, simWriteBulk(data.data(), 5120));
    BYTE model[68];
    EXPECT_EQ(0u, simRunCommand(15, nullptr, 0, model, sizeof model));
    EXPECT_EQ(0u, simWriteBulk(data.data(), 880));
    EXPECT_FALSE(onCard(L"\\DCIM\\CUT.JPG"));
}

}  // namespace
