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

void appendWord(std::vector<BYTE>& out, DWORD word) {
    const BYTE* b = reinterpret_cast<const BYTE*>(&word);
    out.insert(out.end(), b, b + 4);
}

void appendText(std::vector<BYTE>& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text) + 1); }

std::vector<BYTE> twoVolumes() {
    std::vector<BYTE> out;
    appendWord(out, 2);
    for (const char* name : {"CF", "SMARTMEDIA"}) {
        appendWord(out, 7);  // passed through, not shown
        appendWord(out, 32000000);
        appendWord(out, 1000 + static_cast<DWORD>(std::strlen(name)));
        appendText(out, name);
    }
    return out;
}

// Entries whose size and time sit at odd offsets, as the camera packs them.
std::vector<BYTE> twoEntries() {
    std::vector<BYTE> out;
    for (const auto& e : {std::make_pair("DCIM", BYTE{0x10}), std::make_pair("BRV_0001.JPG", BYTE{0x21})}) {
        out.push_back(e.second);
        appendWord(out, e.second == 0x10 ? 0 : 0x01020304);
        out.push_back(0xee);  // spare
        appendWord(out, 1104537660);
        appendText(out, e.first);
    }
    return out;
}

std::vector<BYTE> cutTo(std::vector<BYTE> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

}  // namespace

// A whole list is read (bvcam_serial and bvcam_usb_get_all read real
// ones); every cut inside the data must be refused, whichever field it
// falls in, and none may read past the end (the bytes are copied to an
// exact-size vector).
TEST(CameraFormats, TruncatedListsAreRefused) {
    std::vector<VolumeInfo> twoRead;
    ASSERT_TRUE(parseVolumeList(twoVolumes(), twoRead));
    EXPECT_EQ("SMARTMEDIA", twoRead[1].name);
    EXPECT_EQ(1010u, twoRead[1].freeBytes);
    std::vector<DirectoryEntry> entries;
    ASSERT_TRUE(parseListing(twoEntries(), entries));
    EXPECT_EQ(0x01020304u, entries[1].size) << "a size at an odd offset";
    EXPECT_TRUE(parseListing({}, entries)) << "an empty folder";
    const std::vector<BYTE> volumes = twoVolumes();
    for (size_t size = 0; size < volumes.size(); ++size) {
        SCOPED_TRACE(size);
        std::vector<VolumeInfo> parsed;
        EXPECT_FALSE(parseVolumeList(cutTo(volumes, size), parsed));
    }
    const std::vector<BYTE> listing = twoEntries();
    const size_t firstEntry = 10 + 5;
    for (size_t size = 1; size < listing.size(); ++size) {
        if (size == firstEntry) continue;  // a whole first entry is a valid listing
        SCOPED_TRACE(size);
        std::vector<DirectoryEntry> parsed;
        EXPECT_FALSE(parseListing(cutTo(listing, size), parsed));
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

struct TimeCase {
    const char* text;
    DWORD time;
};

TEST(CameraTime, TextAndCountAgree) {
    const TimeCase cases[] = {
        // bvcam_serial lists 2005-01-01 00:01:00 and touches 2024-02-29 12:34:56.
        {"1970-01-01 00:00:00", 0}, {"2000-03-01 00:00:00", 951868800}, {"2105-12-31 23:59:59", 4291747199u},
    };
    for (const TimeCase& c : cases) {
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

struct AttributeCase {
    const char* text;
    BYTE current;
    BYTE expected;
};

TEST(AttributeArgument, ChangesOnlyWhatItNames) {
    const AttributeCase cases[] = {
        {"+r", 0x20, 0x21}, {"+r", 0x21, 0x21}, {"-r", 0x21, 0x20}, {"-R", 0x01, 0x00},
        {"-r", 0x11, 0x00},  // the directory bit is the camera's to keep
        {"22", 0x01, 0x22},  {"0x03", 0x20, 0x03}, {"31", 0x00, 0x21},
    };
    for (const AttributeCase& c : cases) {
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

TEST(ProgressText, FiguresAtTheEdges) {
    EXPECT_EQ("1023 B", formatByteCount(1023));
    EXPECT_EQ("1.0 KB", formatByteCount(1024));
    EXPECT_EQ("1.5 MB", formatByteCount(1536 * 1024));
    EXPECT_EQ("0:59", formatDuration(59));
    EXPECT_EQ("59:59", formatDuration(3599));
    EXPECT_EQ("1:00:00", formatDuration(3600));
    EXPECT_EQ("--", formatRate(100, 0));
    EXPECT_EQ("2.0 KB/s", formatRate(1024, 500));
}

TEST(ProgressText, LineShowsBarRateAndTimeLeft) {
    EXPECT_EQ("[#####-----]   50%  6.0 KB / 12.0 KB  6.0 KB/s  0:01 left",
              formatProgressLine(6144, 12288, 1000, 10));
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
    ASSERT_EQ(4u, markers.size());
    EXPECT_EQ("APP0", jpegMarkerName(markers[1].code));
    EXPECT_EQ(4u, markers[1].length);
    EXPECT_EQ(9u, markers[2].offset);  // after the fill byte
    EXPECT_EQ("DQT", jpegMarkerName(markers[2].code));
    EXPECT_EQ("SOS", jpegMarkerName(markers[3].code));

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
    EXPECT_TRUE(isFinalEvent(0x40001));
    EXPECT_FALSE(isFinalEvent(0x50001));
    EXPECT_FALSE(isFinalEvent(0x00001));
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
