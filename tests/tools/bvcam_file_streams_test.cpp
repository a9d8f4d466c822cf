// bvcam's streams over files on this computer, driven through their
// callbacks the way the library drives them: a download replaces its
// destination only when it is committed (an abandoned one leaving nothing
// is run by bvcam_serial), uploads seek, tell and read exactly.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/bvcam/download_file.h"
#include "tools/bvcam/upload_file.h"

namespace {

struct FindSearch {  // FindFirstFile results
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};

std::vector<BYTE> pattern(size_t size) {
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + i / 256);
    return bytes;
}

class BvcamFileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        folder_ = std::string(temp) + "bvcam_streams_" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override {
        for (const std::string& name : namesInFolder()) DeleteFileA(path(name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::string path(const std::string& name) const { return folder_ + "\\" + name; }

    std::vector<std::string> namesInFolder() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        bv::Owned<FindSearch> search(FindFirstFileA(path("*").c_str(), &found));
        if (!search) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(search.get(), &found));
        return names;
    }

    void writeHostFile(const std::string& name, const std::vector<BYTE>& bytes) const {
        OwnedFile file(CreateFileA(path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD done = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        ASSERT_EQ(bytes.size(), done);
    }

    std::vector<BYTE> readHostFile(const std::string& name) const {
        std::vector<BYTE> bytes(1 << 16);
        OwnedFile file(CreateFileA(path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        if (!file) return {};
        DWORD done = 0;
        ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        bytes.resize(done);
        return bytes;
    }

    // Opens the stream for writing and writes data in chunks of the
    // library's size; false when a callback reported an error.
    static bool sendChunks(const bvlStream* s, const std::vector<BYTE>& data) {
        DWORD error = 1;
        s->OpenCB(s->context, BVL_STREAM_OPEN_WRITE, &error);
        for (size_t done = 0; error == 0 && done < data.size();) {
            DWORD count = static_cast<DWORD>(std::min<size_t>(5120, data.size() - done));
            s->WriteCB(s->context, data.data() + done, &count, &error);
            done += count;
        }
        return error == 0;
    }

    std::string folder_;
};

TEST_F(BvcamFileStreamTest, DownloadReplacesTheDestinationOnlyAtCommit) {
    const std::vector<BYTE> old = {'o', 'l', 'd'}, data = pattern(12000);
    ASSERT_NO_FATAL_FAILURE(writeHostFile("pic.jpg", old));
    DownloadFile download;
    ASSERT_EQ(0u, download.create(path("pic.jpg")));
    ASSERT_TRUE(sendChunks(download.stream(), pattern(700)));
    ASSERT_TRUE(sendChunks(download.stream(), data));  // a transfer that starts over
    EXPECT_EQ(old, readHostFile("pic.jpg"));
    EXPECT_EQ(2u, namesInFolder().size());  // the destination and the temporary file

    ASSERT_EQ(0u, download.commit());
    EXPECT_EQ(data, readHostFile("pic.jpg"));
    EXPECT_EQ(12000u, download.size());
    EXPECT_EQ(std::vector<std::string>{"pic.jpg"}, namesInFolder());

    DownloadFile nowhere;
    EXPECT_NE(0u, nowhere.create(path("missing\\pic.jpg")));
}

TEST_F(BvcamFileStreamTest, UploadSeeksTellsAndReadsTheFile) {
    const std::vector<BYTE> data = pattern(12000);
    ASSERT_NO_FATAL_FAILURE(writeHostFile("up.bin", data));
    UploadFile upload;
    ASSERT_EQ(0u, upload.open(path("up.bin")));
    EXPECT_EQ(12000u, upload.size());
    const bvlStream* s = upload.stream();
    DWORD error = 1;
    EXPECT_EQ(0u, s->TellCB(s->context, &error));
    s->SeekCB(s->context, BVL_SEEK_END, 0, &error);
    EXPECT_EQ(12000u, s->TellCB(s->context, &error));
    s->SeekCB(s->context, BVL_SEEK_SET, 5120, &error);
    ASSERT_EQ(0u, error);

    std::vector<BYTE> buffer(8000);
    DWORD count = 8000;
    s->ReadCB(s->context, buffer.data(), &count, &error);
    ASSERT_EQ(0u, error);
    ASSERT_EQ(6880u, count);  // only what is left
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + count, data.begin() + 5120));
    count = 10;
    s->ReadCB(s->context, buffer.data(), &count, &error);
    EXPECT_EQ(0u, count);

    s->SeekCB(s->context, 2, 0, &error);  // only the start and the end are origins
    EXPECT_EQ(BVL_E_STREAM_SEEK_ERROR, error);
    EXPECT_EQ(0u, upload.hostError());

    UploadFile missing;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), missing.open(path("none.bin")));
}

}  // namespace
