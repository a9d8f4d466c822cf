// What the settings dialog is given from the camera's answers: the
// firmware version and the card slots; and the volume list as every
// caller's stream receives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "front/usb/settings_snapshot.h"
#include "front/usb/volume_list.h"
#include "tests/support/stream_recorder.h"

namespace {

TEST(SettingsSnapshot, FirmwareVersionStartsAtTheFirstDigit) {
    const struct { const char* reply, *version; } cases[] = {
        {"Firmware 1.02", "1.02"}, {"V2", "2"}, {"none", ""}, {"", ""}, {"3.1 beta", "3.1 beta"},
        // A reply that fills its 32 bytes without a terminator stays within them.
        {"77777777777777777777777777777777", "77777777777777777777777777777777"}};
    for (const auto& c : cases) {
        char reply[32] = {};
        std::memcpy(reply, c.reply, std::min(sizeof reply, std::strlen(c.reply) + 1));
        char version[64] = {'x'};
        bv::firmwareVersionText(reply, sizeof reply, version, sizeof version);
        EXPECT_STREQ(c.version, version) << c.reply;
    }
}

// Three volumes, each with a passed-through word, its total and free
// space, and its name: 1000/400, 2000/0 and 3000/3.
const char kThreeVolumes[] = "\3\0\0\0" "\x34\x12\0\0" "\xe8\3\0\0" "\x90\1\0\0" "CF\0"
                             "\x34\x12\0\0" "\xd0\7\0\0" "\0\0\0\0" "CF\0"
                             "\x34\x12\0\0" "\xb8\xb\0\0" "\3\0\0\0" "CF";

TEST(SettingsSnapshot, CardSlotsComeFromTheFirstTwoVolumes) {
    const BYTE* list = reinterpret_cast<const BYTE*>(kThreeVolumes);
    bv::CardSlots slots = bv::summariseVolumes(list, sizeof kThreeVolumes);
    EXPECT_EQ(3u, slots.count);
    EXPECT_EQ(1000u, slots.slot1Total);
    EXPECT_EQ(400u, slots.slot1Free);
    EXPECT_EQ(2000u, slots.slot2Total);
    EXPECT_EQ(0u, slots.slot2Free);

    // A list cut inside the second entry's words leaves slot 2 empty.
    slots = bv::summariseVolumes(list, 4 + 12 + 3 + 8);
    EXPECT_EQ(1000u, slots.slot1Total);
    EXPECT_EQ(0u, slots.slot2Total);

    EXPECT_EQ(0u, bv::summariseVolumes(nullptr, 0).count);
    EXPECT_EQ(0u, bv::summariseVolumes(list, 3).count);
}

// The camera's slots as the stream gets them: a name that fills its 64
// bytes comes whole with a terminator added; a count above the slots asked
// for (volumes that grew between the two asks) is cut to the entries sent.
TEST(VolumeList, NamesComeWholeAndTheCountIsCutToTheSlots) {
    std::vector<BYTE> list(bv::volumeListLength(2), 0x5a);
    const DWORD reported = 3;
    std::memcpy(list.data(), &reported, sizeof reported);
    std::memset(&list[4 + 12], 'A', 64);
    std::memcpy(&list[4 + 76 + 12], "SD", 3);
    std::vector<BYTE> expected = {2, 0, 0, 0};
    expected.insert(expected.end(), &list[4], &list[4 + 76]);
    expected.push_back(0);
    expected.insert(expected.end(), &list[4 + 76], &list[4 + 76 + 12 + 3]);
    bvtest::StreamRecorder stream;
    ASSERT_EQ(0u, bv::writeVolumeEntries(stream.stream(), list.data(), 2));
    EXPECT_EQ(expected, stream.written());
}

}  // namespace
