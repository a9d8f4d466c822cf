// The pure parts of bvcam: the library's byte layouts as the tool reads
// and writes them, the camera clock as text, argument parsing and the
// text of progress, events and errors.
#include <gtest/gtest.h>

#include <cstring>

#include "tools/bvcam/attribute_change.h"
#include "tools/bvcam/camera_formats.h"
#include "tools/bvcam/camera_time.h"
#include "tools/bvcam/error_text.h"
#include "tools/bvcam/event_text.h"
#include "tools/bvcam/jpeg_markers.h"
#include "tools/bvcam/progress_text.h"
#include "tools/bvcam/usb_model_match.h"

namespace {

template <size_t N>
std::vector<BYTE> bytes(const char (&literal)[N]) { return std::vector<BYTE>(literal, literal + N); }

std::vector<BYTE> cutTo(std::vector<BYTE> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

// Two volumes: the count, then each with a passed-through word (7), the
// capacity (32000000), the free space (1000 plus the name's length) and
// the name; the literal's terminator ends the last one.
const std::vector<BYTE> kTwoVolumes = bytes("\2\0\0\0" "\7\0\0\0" "\0\x48\xe8\1" "\xea\3\0\0" "CF\0"
                                            "\7\0\0\0" "\0\x48\xe8\1" "\xf2\3\0\0" "SMARTMEDIA");
// Two entries whose size and time sit at odd offsets, as the camera packs
// them: attributes, size, a spare byte, the time (1104537660), the name.
const std::vector<BYTE> kTwoEntries = bytes("\x10" "\0\0\0\0" "\xee" "\x3c\xe8\xd5\x41" "DCIM\0"
                                            "\x21" "\4\3\2\1" "\xee" "\x3c\xe8\xd5\x41" "BRV_0001.JPG");

}  // namespace

// A whole list is read (bvcam_serial and bvcam_usb_get_all read real
// ones); every cut inside the data must be refused, whichever field it
// falls in, and none may read past the end (the bytes are copied to an
// exact-size vector).
TEST(CameraFormats, TruncatedListsAreRefused) {
    std::vector<VolumeInfo> twoRead;
    ASSERT_TRUE(parseVolumeList(kTwoVolumes, twoRead));
    EXPECT_EQ("SMARTMEDIA", twoRead[1].name);
    EXPECT_EQ(1010u, twoRead[1].freeBytes);
    std::vector<DirectoryEntry> entries;
    ASSERT_TRUE(parseListing(kTwoEntries, entries));
    EXPECT_EQ(0x01020304u, entries[1].size) << "a size at an odd offset";
    EXPECT_TRUE(parseListing({}, entries)) << "an empty folder";
    for (size_t size = 0; size < kTwoVolumes.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<VolumeInfo> parsed;
        EXPECT_FALSE(parseVolumeList(cutTo(kTwoVolumes, size), parsed));
    }
    const size_t firstEntry = 10 + 5;
    for (size_t size = 1; size < kTwoEntries.size(); ++size) {
        if (size == firstEntry) continue;  // a whole first entry is a valid listing
        SCOPED_TRACE(size);
        std::vector<DirectoryEntry> parsed;
        EXPECT_FALSE(parseListing(cutTo(kTwoEntries, size), parsed));
    }
}

TEST(CameraFormats, SubtreeNamesEachComponent) {
    const std::vector<BYTE> dcim = {0, 'C', 'F', 0, 0, 'D', 'C', 'I', 'M', 0, 0, 0};
    EXPECT_EQ(dcim, encodeSubtree("CF\\DCIM"));
    EXPECT_EQ(dcim, encodeSubtree("CF\\\\DCIM\\"));
    EXPECT_EQ((std::vector<BYTE>{0, 'C', 'F', 0, 0, 0}), encodeSubtree("CF"));
    EXPECT_EQ((std::vector<BYTE>{0, 0}), encodeSubtree(""));
}

// Name lists, paths and whole model lists: bvcam_serial and installer_roundtrip.
TEST(CameraFormats, TextListsAndPictureNamesAtTheEdges) {
    EXPECT_EQ("", parentPath("CF"));
    const std::vector<BYTE> models = {'A', 0, 'B', 'C', 0, 0, 'D', 0};
    EXPECT_EQ(std::vector<std::string>{"A"}, parseTextList(cutTo(models, 4)));
    EXPECT_TRUE(isPictureName("brv_0001.jpg"));
    EXPECT_FALSE(isPictureName(".JPG"));
    EXPECT_FALSE(isPictureName("A.JPEG"));
}

TEST(CameraTime, TextAndCountAgree) {
    const struct { const char* text; DWORD time; } cases[] = {
        // bvcam_serial lists 2005-01-01 00:01:00 and touches 2024-02-29 12:34:56.
        {"1970-01-01 00:00:00", 0}, {"2000-03-01 00:00:00", 951868800}, {"2105-12-31 23:59:59", 4291747199u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        DWORD parsed = 0;
        EXPECT_TRUE(parseCameraTime(c.text, &parsed));
        EXPECT_EQ(c.time, parsed);
        EXPECT_EQ(c.text, formatCameraTime(c.time));
    }
}

TEST(CameraTime, RefusesWhatTheCalendarLacks) {
    for (const char* text : {"2023-02-29 00:00:00", "1900-02-29 00:00:00", "2024-04-31 00:00:00",
                             "1969-12-31 23:59:59", "2106-01-01 00:00:00", "2024-13-01 00:00:00",
                             "2024-01-01 24:00:00", "2024-01-01 00:60:00", "2024-01-01 00:00",
                             "2024-01-01 00:00:00x", "2024-1-01 00:00:00", ""}) {
        SCOPED_TRACE(text);
        DWORD time = 0;
        EXPECT_FALSE(parseCameraTime(text, &time));
    }
}

TEST(AttributeArgument, ChangesOnlyWhatItNames) {
    const struct { const char* text; BYTE current, expected; } cases[] = {
        {"+r", 0x20, 0x21}, {"+r", 0x21, 0x21}, {"-r", 0x21, 0x20}, {"-R", 0x01, 0x00},
        {"-r", 0x11, 0x00},  // the directory bit is the camera's to keep
        {"22", 0x01, 0x22},  {"0x03", 0x20, 0x03}, {"31", 0x00, 0x21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AttributeChange change;
        ASSERT_TRUE(parseAttributeChange(c.text, &change));
        EXPECT_EQ(c.expected, applyAttributeChange(change, c.current));
    }
    for (const char* text : {"+w", "r", "", "100", "-1", "1g"}) {
        SCOPED_TRACE(text);
        AttributeChange change;
        EXPECT_FALSE(parseAttributeChange(text, &change));
    }
}

// The line's figures cover kilobytes, minutes and the unknown rate; the
// unit and format steps are checked at their edges.
TEST(ProgressText, LineShowsBarRateAndTimeLeft) {
    EXPECT_EQ("1023 B", formatByteCount(1023));
    EXPECT_EQ("1.5 MB", formatByteCount(1536 * 1024));
    EXPECT_EQ("59:59", formatDuration(3599));
    EXPECT_EQ("1:00:00", formatDuration(3600));
    EXPECT_EQ("[###-------]   33%  1.0 KB / 3.0 KB  1.0 KB/s  0:02 left", formatProgressLine(1024, 3072, 1000, 10));
    EXPECT_EQ("[----------]    0%  0 B / 12.0 KB  --  -- left", formatProgressLine(0, 12288, 0, 10));
    EXPECT_EQ("[##########]  100%  12.0 KB / 12.0 KB  12.0 KB/s  0:00 left",
              formatProgressLine(20000, 12288, 1000, 10));
    EXPECT_EQ("6.0 KB  3.0 KB/s", formatProgressLine(6144, 0, 2000, 10));
}

TEST(JpegMarkers, WalksSegmentsToTheScan) {
    const std::vector<BYTE> jpeg = {0xff, 0xd8, 0xff, 0xe0, 0x00, 0x04, 1, 2, 0xff, 0xff, 0xdb, 0x00,
                                    0x02, 0xff, 0xda, 0x00, 0x08, 9};
    std::vector<JpegMarker> markers;
    ASSERT_EQ(JpegWalk::Complete, listJpegMarkers(jpeg, markers));
    std::string walk;  // name@offset+length; DQT comes after the fill byte
    for (const JpegMarker& m : markers)
        walk += jpegMarkerName(m.code) + "@" + std::to_string(m.offset) + "+" + std::to_string(m.length) + " ";
    EXPECT_EQ("SOI@0+0 APP0@2+4 DQT@9+2 SOS@13+8 ", walk);

    EXPECT_EQ(JpegWalk::Truncated, listJpegMarkers(cutTo(jpeg, 10), markers));
    EXPECT_EQ(JpegWalk::Truncated, listJpegMarkers(cutTo(jpeg, 12), markers));
    EXPECT_EQ(2u, markers.size());
    EXPECT_EQ(JpegWalk::NotJpeg, listJpegMarkers({0xff, 0xd9}, markers));
    EXPECT_EQ(JpegWalk::NotJpeg, listJpegMarkers({0xff, 0xd8, 0x12, 0x34}, markers));
    EXPECT_EQ("SOF2", jpegMarkerName(0xc2));
    EXPECT_EQ("FFC8", jpegMarkerName(0xc8));
}

TEST(EventText, DecodesBatteryTimeOutAndDisconnect) {
    const DWORD low = 4, mains = 0x10000006, exhausted = 0x00000003;
    EXPECT_EQ("battery: low", describeCameraEvent(1, &low, 4));
    EXPECT_EQ("battery: normal (mains adapter)", describeCameraEvent(0x10001, &mains, 4));
    EXPECT_EQ("battery: exhausted", describeCameraEvent(1, &exhausted, 4));
    EXPECT_EQ("battery: changed (no level given)", describeCameraEvent(1, &low, 2));
    EXPECT_EQ("camera time-out", describeCameraEvent(5, nullptr, 0));
    EXPECT_EQ("disconnected", describeCameraEvent(0x40005, nullptr, 0));
    EXPECT_EQ("event 0x00000009 with 0 data bytes", describeCameraEvent(9, nullptr, 0));
    EXPECT_FALSE(isFinalEvent(0x50001)) << "the class is a field, not a bit";
}

// A named error with its cause is bvcam_serial's failed get.
TEST(ErrorText, NamesComponentAndUnknownErrors) {
    EXPECT_EQ("0x82700003 (camera, error 0x0003): the operation failed", describeError(0x82700003));
    EXPECT_EQ("0x05000044 (component 5, DIR_NOT_EMPTY): the folder is not empty", describeError(0x05000044));
    EXPECT_EQ("0x0a00ffff (base library, error 0xffff): the operation failed", describeError(0x0a00ffff));
    EXPECT_EQ("0x0a000008 (base library, UNEXPECTED_EXCEPTION): the operation failed", describeError(0x0a000008));
}

// "--port usb": the installed USB model of the first camera connected, or
// why there is none, naming what the Still Image service offers.
TEST(UsbModelMatch, FindsTheConnectedModelOrSaysWhyNot) {
    const std::vector<InstalledModel> installed = {{0x70323030, "Brivant 200", 1}, {0x70333036, "Brivant 350", 3}};
    EXPECT_EQ(0x70333036u, matchConnectedModel({"Scanner", "brivant 350"}, installed).modelID);
    EXPECT_EQ("no camera is connected: the Still Image service offers no Orvel camera",
              matchConnectedModel({}, installed).problem);
    EXPECT_EQ("no camera of an installed model is connected: the Still Image service offers \"Brivant 200\"",
              matchConnectedModel({"Brivant 200"}, installed).problem);
    EXPECT_EQ("no camera model is installed for USB (run bvsetup install models.ini, or give usb MODELID)",
              matchConnectedModel({"Brivant 350"}, {installed[0]}).problem);
}
