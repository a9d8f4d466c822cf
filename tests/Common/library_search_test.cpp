// Where the library loads modules and starts programs from: a copy planted
// in the current folder or on PATH is never taken. The folder an
// application chooses is honoured: every suite's serial stand-in is loaded
// from one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/library_search.h"
#include "tests/support/planted_folder.h"
#include "tests/support/product_library.h"

namespace {

TEST(LibrarySearch, CandidatesSkipEmptyAndRepeatedFoldersInOrder) {
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\app\\X.DLL", L"D:\\lib\\X.DLL", L"C:\\sys\\X.DLL"}),
              bv::candidatePaths({L"C:\\app", L"", L"D:\\lib\\", L"c:\\APP", L"C:\\sys"}, L"X.DLL"));
}

// Copies of the serial library and of a program named like the monitor,
// planted in the current folder, which is also first on PATH.
class PlantedCopies : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring serial = bvtest::executableFolder() + L"serial\\BVCLL.DLL";
        ASSERT_TRUE(planted_.plant(L"BVCLL.DLL", serial));
        ASSERT_TRUE(planted_.plant(L"stimon.exe", serial));
        SetDllDirectoryW(nullptr);
    }

    bvtest::PlantedFolder planted_;
};

TEST_F(PlantedCopies, AreNeitherLoadedNorStarted) {
    EXPECT_EQ(nullptr, bv::loadLibraryFromKnownFolders(L"BVCLL.DLL"));
    const std::wstring monitor = bv::systemProgramPath(L"stimon.exe");
    EXPECT_EQ(std::wstring::npos, monitor.find(planted_.path())) << "the monitor would start from the planted copy";
}

}  // namespace
