#include "twain_harness.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/camera/bvsim.h"
#include "tests/support/product_library.h"

namespace twaintest {

namespace {

const std::filesystem::path kCards = BV_SAMPLE_CARDS;

void collect(const std::filesystem::path& folder, const std::string& cameraPath, std::vector<CardPicture>& out) {
    std::vector<std::filesystem::directory_entry> entries(std::filesystem::directory_iterator(folder), {});
    std::sort(entries.begin(), entries.end());
    for (const auto& e : entries) {
        const std::string name = e.path().filename().string();
        if (e.is_directory()) continue;
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(toupper(c));
        if (upper.size() < 4 || upper.substr(upper.size() - 4) != ".JPG") continue;
        std::ifstream file(e.path(), std::ios::binary);
        out.push_back({cameraPath + "\\" + name, std::vector<BYTE>(std::istreambuf_iterator<char>(file), {})});
    }
    for (const auto& e : entries)
        if (e.is_directory()) collect(e.path(), cameraPath + "\\" + e.path().filename().string(), out);
}

}  // namespace

void insertSampleCards() {
    const std::wstring slot1 = (kCards / "slot1").wstring(), slot2 = (kCards / "slot2").wstring();
    const SimCardSlot cards[] = {{"CF", slot1.c_str(), 64u << 20, 0}, {"SD", slot2.c_str(), 64u << 20, 0}};
    ASSERT_TRUE(simSetCards(cards, 2));
}

std::vector<CardPicture> samplePictures() {
    std::vector<CardPicture> pictures;
    collect(kCards / "slot1", "CF", pictures);
    collect(kCards / "slot2", "SD", pictures);
    return pictures;
}

std::wstring sourcePath() { return bvtest::executableFolder() + L"bvcl2sti.ds"; }

}  // namespace twaintest
