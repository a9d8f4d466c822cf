// bvcam's streams over files on this computer, driven through their
// callbacks the way the library drives them: a download replaces its
// destination only when it is committed (an abandoned one leaving nothing
// is run by bvcam_serial), an upload read to its end stops there (the
// seeks, tells and chunked reads of a whole upload are bvcam_serial's put).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/camera_world.h"
#include "tools/bvcam/download_file.h"
#include "tools/bvcam/upload_file.h"

namespace {

namespace fs = std::filesystem;

using bvtest::HostFiles;
using bvtest::pattern;

class BvcamFileStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("bvcam_streams_" + std::to_string(GetCurrentProcessId()));
        ASSERT_TRUE(fs::create_directory(folder_));
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    void writeHostFile(const std::string& name, const std::vector<BYTE>& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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

    fs::path folder_;
};

TEST_F(BvcamFileStreamTest, DownloadReplacesTheDestinationOnlyAtCommit) {
    const std::vector<BYTE> old = {'o', 'l', 'd'}, data = pattern(12000);
    writeHostFile("pic.jpg", old);
    DownloadFile download;
    ASSERT_EQ(0u, download.create(path("pic.jpg")));
    ASSERT_TRUE(sendChunks(download.stream(), pattern(700)));
    ASSERT_TRUE(sendChunks(download.stream(), data));  // a transfer that starts over
    EXPECT_EQ(old, bvtest::folderFiles(folder_)["pic.jpg"]);
    EXPECT_EQ(2u, bvtest::folderFiles(folder_).size());  // the destination and the temporary file

    ASSERT_EQ(0u, download.commit());
    EXPECT_TRUE((HostFiles{{"pic.jpg", data}}) == bvtest::folderFiles(folder_));
    EXPECT_EQ(12000u, download.size());

    DownloadFile nowhere;
    EXPECT_NE(0u, nowhere.create(path("missing\\pic.jpg")));
}

TEST_F(BvcamFileStreamTest, UploadStopsAtTheEndAndTakesOnlyStartAndEndAsOrigins) {
    writeHostFile("up.bin", pattern(100));
    UploadFile upload;
    ASSERT_EQ(0u, upload.open(path("up.bin")));
    const bvlStream* s = upload.stream();
    DWORD error = 1, count = 10;
    BYTE buffer[10];
    s->SeekCB(s->context, BVL_SEEK_END, 0, &error);
    s->ReadCB(s->context, buffer, &count, &error);
    EXPECT_EQ(0u, error);
    EXPECT_EQ(0u, count);
    s->SeekCB(s->context, 2, 0, &error);
    EXPECT_EQ(BVL_E_STREAM_SEEK_ERROR, error);
    EXPECT_EQ(0u, upload.hostError());

    UploadFile missing;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), missing.open(path("none.bin")));
}

}  // namespace
