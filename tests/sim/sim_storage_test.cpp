// The virtual camera's card storage through its command set: free space,
// uploads that land only whole, picture headers, delete-all and subtree
// records, checked against what the card folder on the host holds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim/camera/bvsim.h"

namespace {

using Bytes = std::vector<BYTE>;

class SimStorageTest : public ::testing::Test {
protected:
    void SetUp() override { simReset(); }

    static std::wstring card(DWORD index = 0) {
        WCHAR path[MAX_PATH];
        EXPECT_TRUE(simCardFolder(index, path, MAX_PATH));
        return path;
    }

    static void putHostFile(const std::wstring& path, const Bytes& data) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(file);
    }

    static bool onHost(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // Runs a command whose reply is a 4-byte size, then reads that many
    // bytes of bulk data.
    static DWORD fetch(DWORD command, const Bytes& payload, Bytes& data) {
        DWORD size = 0;
        const DWORD rc = simRunCommand(command, payload.data(), static_cast<DWORD>(payload.size()),
                                       reinterpret_cast<BYTE*>(&size), 4);
        data.assign(size, 0);
        DWORD delivered = 0;
        if (rc == 0 && size != 0) {
            EXPECT_EQ(0u, simReadBulk(data.data(), size, &delivered));
        }
        return rc;
    }

    static Bytes text(const std::string& s) { return Bytes(s.c_str(), s.c_str() + s.size() + 1); }

    static Bytes put(DWORD size, const std::string& name) {
        Bytes p(8);
        const DWORD nameLength = static_cast<DWORD>(name.size() + 1);
        std::memcpy(p.data(), &size, 4);
        std::memcpy(p.data() + 4, &nameLength, 4);
        const Bytes n = text(name);
        p.insert(p.end(), n.begin(), n.end());
        return p;
    }

    static DWORD run(DWORD command, const Bytes& payload) {
        return simRunCommand(command, payload.data(), static_cast<DWORD>(payload.size()), nullptr, 0);
    }

    // Names and attribute bytes of a listing.
    static std::vector<std::string> names(const Bytes& listing) {
        std::vector<std::string> out;
        for (size_t at = 0; at + 10 < listing.size();) {
            const std::string name(reinterpret_cast<const char*>(&listing[at + 10]));
            out.push_back(std::to_string(listing[at]) + ":" + name);
            at += 11 + name.size();
        }
        return out;
    }
};

TEST_F(SimStorageTest, FreeSpaceCountsHostFilesAndLimitsUploads) {
    const SimCardSlot slots[] = {{"A", nullptr, 10000, 1}, {"B", nullptr, 5000, 0}};
    ASSERT_TRUE(simSetCards(slots, 2));
    ASSERT_NO_FATAL_FAILURE(putHostFile(card(0) + L"\\OLD.JPG", Bytes(3000, 1)));
    const WORD oneSlot = 1;
    BYTE reply[4 + 76] = {};
    ASSERT_EQ(0u, simRunCommand(4, reinterpret_cast<const BYTE*>(&oneSlot), 2, reply, sizeof reply));
    DWORD words[4];
    std::memcpy(words, reply, sizeof words);
    EXPECT_EQ(2u, words[0]) << "the count tells every volume, not only those with a slot";
    EXPECT_EQ(10000u, words[2]);
    EXPECT_EQ(7000u, words[3]);
    EXPECT_STREQ("A", reinterpret_cast<const char*>(reply + 16));

    EXPECT_EQ(0x02000084u, run(7, put(7001, "A\\NEW.JPG")));
    EXPECT_EQ(0u, run(7, put(7000, "A\\NEW.JPG")));
    // Replacing a file may use the room that file takes.
    EXPECT_EQ(0u, run(7, put(10000, "a\\old.jpg")));
}

TEST_F(SimStorageTest, UploadLandsOnlyWithItsLastByte) {
    const std::wstring target = card() + L"\\DCIM\\NEW.JPG";
    const Bytes data(6000, 0x5a);
    ASSERT_EQ(0u, run(7, put(6000, "CF\\DCIM\\NEW.JPG")));
    EXPECT_EQ(0u, simWriteBulk(data.data(), 5120));
    EXPECT_FALSE(onHost(target));
    EXPECT_EQ(0u, simWriteBulk(data.data() + 5120, 880));
    Bytes back;
    ASSERT_EQ(0u, fetch(6, text("cf\\dcim\\new.jpg"), back));
    EXPECT_EQ(data, back);

    // Another command ends an unfinished upload; its bytes go nowhere.
    ASSERT_EQ(0u, run(7, put(6000, "CF\\DCIM\\CUT.JPG")));
    EXPECT_EQ(0u, simWriteBulk(data.data(), 5120));
    BYTE model[68];
    EXPECT_EQ(0u, simRunCommand(15, nullptr, 0, model, sizeof model));
    EXPECT_EQ(0u, simWriteBulk(data.data(), 880));
    EXPECT_FALSE(onHost(card() + L"\\DCIM\\CUT.JPG"));
}

TEST_F(SimStorageTest, PictureHeaderEndsWithTheStartOfScanSegment) {
    // An APP0 body holding the bytes of a scan marker: only segment
    // lengths find the real one.
    const Bytes header = {0xff, 0xd8, 0xff, 0xe0, 0x00, 0x06, 0xff, 0xda, 0x00, 0x02,
                          0xff, 0xff, 0xda, 0x00, 0x08, 1, 1, 0, 0, 63, 0};
    Bytes file = header;
    file.insert(file.end(), {0x12, 0x34, 0xff, 0x00, 0x56, 0xff, 0xd9});
    ASSERT_NO_FATAL_FAILURE(putHostFile(card() + L"\\DCIM\\HEAD.JPG", file));
    Bytes got;
    ASSERT_EQ(0u, fetch(20, text("CF\\DCIM\\HEAD.JPG"), got));
    EXPECT_EQ(header, got);

    ASSERT_NO_FATAL_FAILURE(putHostFile(card() + L"\\DCIM\\CUT.JPG", Bytes(header.begin(), header.end() - 1)));
    ASSERT_NO_FATAL_FAILURE(putHostFile(card() + L"\\DCIM\\TEXT.JPG", text("not a picture")));
    EXPECT_EQ(0x02000046u, fetch(20, text("CF\\DCIM\\CUT.JPG"), got));
    EXPECT_EQ(0x02000046u, fetch(20, text("CF\\DCIM\\TEXT.JPG"), got));
    EXPECT_EQ(0x02000022u, fetch(20, text("CF\\DCIM\\NONE.JPG"), got));
}

TEST_F(SimStorageTest, DeleteAllKeepsReadOnlyPicturesOtherFilesAndDirectories) {
    // Attribute 0x01 on BRV_0002.JPG; the list length sits unaligned.
    Bytes attributes = {0x01, 0, 0, 0, 0};
    const Bytes list = {'C', 'F', '\\', 'D', 'C', 'I', 'M', '\\', 'B', 'R', 'V', '_', '0', '0', '0', '2', '.',
                        'J', 'P', 'G', 0, 0};
    const DWORD listLength = static_cast<DWORD>(list.size());
    std::memcpy(&attributes[1], &listLength, 4);
    attributes.insert(attributes.end(), list.begin(), list.end());
    ASSERT_EQ(0u, run(10, attributes));
    Bytes times = {0x80, 0x43, 0x6d, 0x38, 0, 0, 0, 0};  // 2000-01-01 00:00 as camera time
    std::memcpy(&times[4], &listLength, 4);
    times.insert(times.end(), list.begin(), list.end());
    ASSERT_EQ(0u, run(11, times));
    ASSERT_EQ(0u, run(13, text("CF\\DCIM\\100BRVNT")));
    ASSERT_NO_FATAL_FAILURE(putHostFile(card() + L"\\DCIM\\100BRVNT\\BRV_0100.jpg", Bytes(10, 1)));
    ASSERT_NO_FATAL_FAILURE(putHostFile(card() + L"\\DCIM\\NOTES.TXT", Bytes(10, 2)));

    ASSERT_EQ(0u, run(9, text("cf")));
    // Subtree record "CF", "DCIM" with a second text (flag 0x40), ended by
    // an empty name.
    const Bytes subtree = {0x00, 'C', 'F', 0, 0x40, 'D', 'C', 'I', 'M', 0, 'x', 0, 0x00, 0};
    Bytes listing;
    ASSERT_EQ(0u, fetch(5, subtree, listing));
    EXPECT_EQ((std::vector<std::string>{"16:100BRVNT", "1:BRV_0002.JPG", "0:NOTES.TXT"}), names(listing));
    DWORD listed = 0;
    std::memcpy(&listed, &listing[11 + 8 + 6], 4);  // second entry, after "100BRVNT"
    EXPECT_EQ(0x386d4380u, listed);
    WIN32_FILE_ATTRIBUTE_DATA host = {};
    ASSERT_TRUE(GetFileAttributesExW((card() + L"\\DCIM\\BRV_0002.JPG").c_str(), GetFileExInfoStandard, &host));
    SYSTEMTIME utc = {};
    FileTimeToSystemTime(&host.ftLastWriteTime, &utc);
    EXPECT_EQ(2000, utc.wYear);
    EXPECT_EQ(1, utc.wDay);
    EXPECT_EQ(0, utc.wHour) << "camera time is kept as UTC";
    EXPECT_EQ(0x02000045u, run(8, list)) << "a read-only picture refuses a delete";
    EXPECT_EQ(0x02000044u, run(14, text("CF\\DCIM")));

    const Bytes inner = {0x00, 'C', 'F', 0, 0x00, 'D', 'C', 'I', 'M', 0, 0x00, '1', '0', '0', 'B', 'R', 'V', 'N',
                         'T', 0, 0x00, 0};
    ASSERT_EQ(0u, fetch(5, inner, listing));
    EXPECT_TRUE(listing.empty()) << "an empty directory lists as size 0";
}

TEST_F(SimStorageTest, ConfigurationFindsCardFoldersBesideItself) {
    // A configuration in card 0's folder naming a sub-folder by a relative
    // path, and one naming a folder that does not exist.
    const std::wstring base = card();
    ASSERT_TRUE(CreateDirectoryW((base + L"\\slot").c_str(), nullptr));
    const std::wstring good = base + L"\\good.ini", bad = base + L"\\bad.ini";
    WritePrivateProfileStringW(L"card0", L"Volume", L"SD", good.c_str());
    WritePrivateProfileStringW(L"card0", L"Folder", L"slot", good.c_str());
    WritePrivateProfileStringW(L"card0", L"Capacity", L"0x1000", good.c_str());
    WritePrivateProfileStringW(L"card0", L"Volume", L"XD", bad.c_str());
    WritePrivateProfileStringW(L"card0", L"Folder", L"missing", bad.c_str());

    ASSERT_TRUE(simLoadConfiguration(good.c_str()));
    EXPECT_EQ(0, lstrcmpiW((base + L"\\slot").c_str(), card(0).c_str()));
    EXPECT_FALSE(simLoadConfiguration(bad.c_str()));
    BYTE reply[4 + 76] = {};
    const WORD oneSlot = 1;
    ASSERT_EQ(0u, simRunCommand(4, reinterpret_cast<const BYTE*>(&oneSlot), 2, reply, sizeof reply));
    EXPECT_STREQ("SD", reinterpret_cast<const char*>(reply + 16)) << "a failed load keeps the cards";
    EXPECT_EQ(0x1000u, reply[8] | reply[9] << 8 | reply[10] << 16);
}

}  // namespace
