// Where the library loads modules and starts programs from: a copy planted
// in the current folder or on PATH is never taken. The folder an
// application chooses is honoured: every suite's serial stand-in is loaded
// from one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/library_search.h"
#include "tests/support/product_library.h"

namespace {

TEST(LibrarySearch, CandidatesSkipEmptyAndRepeatedFoldersInOrder) {
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\app\\X.DLL", L"D:\\lib\\X.DLL", L"C:\\sys\\X.DLL"}),
              bv::candidatePaths({L"C:\\app", L"", L"D:\\lib\\", L"c:\\APP", L"C:\\sys"}, L"X.DLL"));
}

// A scratch folder made the current folder and put first on PATH, holding
// copies of the serial library and of a program named like the monitor.
class PlantedCopies : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"bvtest-planted";
        CreateDirectoryW(folder_.c_str(), nullptr);
        const std::wstring serial = bvtest::executableFolder() + L"serial\\BVCLL.DLL";
        ASSERT_TRUE(CopyFileW(serial.c_str(), (folder_ + L"\\BVCLL.DLL").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(serial.c_str(), (folder_ + L"\\stimon.exe").c_str(), FALSE));
        GetCurrentDirectoryW(MAX_PATH, previousFolder_);
        SetCurrentDirectoryW(folder_.c_str());
        GetEnvironmentVariableW(L"PATH", previousPath_, 4096);
        SetEnvironmentVariableW(L"PATH", (folder_ + L";" + previousPath_).c_str());
        SetDllDirectoryW(nullptr);
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"PATH", previousPath_);
        SetCurrentDirectoryW(previousFolder_);
        for (const wchar_t* name : {L"\\BVCLL.DLL", L"\\stimon.exe"}) DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring folder_;
    wchar_t previousFolder_[MAX_PATH] = {};
    wchar_t previousPath_[4096] = {};
};

TEST_F(PlantedCopies, AreNeitherLoadedNorStarted) {
    EXPECT_EQ(nullptr, bv::loadLibraryFromKnownFolders(L"BVCLL.DLL"));
    const std::wstring monitor = bv::systemProgramPath(L"stimon.exe");
    EXPECT_EQ(std::wstring::npos, monitor.find(folder_)) << "the monitor would start from the planted copy";
}

}  // namespace
