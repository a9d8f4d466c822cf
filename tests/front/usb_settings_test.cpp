// Settings and remote release over USB: the records that reach the
// camera, and the release data fetched after a release.
#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

namespace {

using namespace std::string_literals;

// Reading settings back over USB is bvcam_settings_ui's.
TEST_F(UsbRoadTest, WrittenSettingsTakeTheirRecords) {
    ASSERT_NO_FATAL_FAILURE(openUsb());
    char owner[] = "abc";
    ASSERT_EQ(0u, api().baseWriteSetting(camera_, 2, owner));
    EXPECT_EQ("\2\0\0\0" "\4\0\0\0" "abc\0"s, payload(lastCommand(18)));

    // Other IDs take the caller's own record, which gets the ID written in.
    BYTE own[9] = {0xff, 0xff, 0xff, 0xff, 1, 0, 0, 0, 7};
    EXPECT_EQ(0u, api().baseWriteSetting(camera_, 1, own + 8));
    api().baseWriteSetting(camera_, 77, own);
    EXPECT_EQ(77u, own[0]);
    EXPECT_EQ(9u, payload(lastCommand(18)).size());
}

TEST_F(UsbRoadTest, ReleaseMakesAPictureWhoseDataCanBeFetched) {
    ASSERT_NO_FATAL_FAILURE(openUsb());
    BYTE request[4] = {1}, reply[4] = {};
    ASSERT_EQ(0u, api().baseReleaseControlEx(camera_, 0x10000 | sizeof request, request, sizeof reply, reply));
    EXPECT_EQ(4u, simCommandPayloadAt(lastCommand(40), nullptr, 0)) << "only the low 16 bits count";
    DWORD size;
    std::memcpy(&size, reply, 4);

    bvtest::StreamRecorder released;
    ASSERT_EQ(0u, api().baseReleaseControlGetReleasedData(camera_, 5, 6, released.stream()));
    EXPECT_EQ(size, released.written().size());
    EXPECT_EQ("\5\0\0\0" "\6\0\0\0"s, payload(lastCommand(41)));
}

}  // namespace
