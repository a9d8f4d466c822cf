// The capability table: each capability with each message, in the
// containers the TWAIN specification gives it, and the values an
// application may and may not set.
#include <algorithm>

#include "tests/twain/twain_fixture.h"

namespace {

struct CapabilityRow {
    const char* name;
    TW_UINT16 cap, itemType;
    TW_UINT16 getContainer;  // MSG_GET's; GETCURRENT and GETDEFAULT answer one value, arrays an array
    bool settable;
};

const CapabilityRow kCapabilities[] = {
    {"SupportedCaps", CAP_SUPPORTEDCAPS, TWTY_UINT16, TWON_ARRAY, false},
    {"XferCount", CAP_XFERCOUNT, TWTY_INT16, TWON_ONEVALUE, true},
    {"UiControllable", CAP_UICONTROLLABLE, TWTY_BOOL, TWON_ONEVALUE, false},
    {"DeviceOnline", CAP_DEVICEONLINE, TWTY_BOOL, TWON_ONEVALUE, false},
    {"Indicators", CAP_INDICATORS, TWTY_BOOL, TWON_ONEVALUE, true},
    {"EnableDsUiOnly", CAP_ENABLEDSUIONLY, TWTY_BOOL, TWON_ONEVALUE, false},
    {"ThumbnailsEnabled", CAP_THUMBNAILSENABLED, TWTY_BOOL, TWON_ONEVALUE, true},
    {"DeviceEvent", CAP_DEVICEEVENT, TWTY_UINT16, TWON_ARRAY, true},
    {"XferMech", ICAP_XFERMECH, TWTY_UINT16, TWON_ENUMERATION, true},
    {"Compression", ICAP_COMPRESSION, TWTY_UINT16, TWON_ENUMERATION, false},
    {"PixelType", ICAP_PIXELTYPE, TWTY_UINT16, TWON_ENUMERATION, false},
    {"BitDepth", ICAP_BITDEPTH, TWTY_UINT16, TWON_ENUMERATION, false},
    {"BitOrder", ICAP_BITORDER, TWTY_UINT16, TWON_ENUMERATION, false},
    {"PlanarChunky", ICAP_PLANARCHUNKY, TWTY_UINT16, TWON_ENUMERATION, false},
    {"PixelFlavor", ICAP_PIXELFLAVOR, TWTY_UINT16, TWON_ENUMERATION, false},
    {"Units", ICAP_UNITS, TWTY_UINT16, TWON_ENUMERATION, true},
    {"XResolution", ICAP_XRESOLUTION, TWTY_FIX32, TWON_ENUMERATION, true},
    {"YResolution", ICAP_YRESOLUTION, TWTY_FIX32, TWON_ENUMERATION, true},
    {"PhysicalWidth", ICAP_PHYSICALWIDTH, TWTY_FIX32, TWON_ONEVALUE, false},
    {"PhysicalHeight", ICAP_PHYSICALHEIGHT, TWTY_FIX32, TWON_ONEVALUE, false},
    {"ImageFileFormat", ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWON_ENUMERATION, true},
};

class CapabilityTable : public TwainSourceTest, public ::testing::WithParamInterface<CapabilityRow> {};

TEST_P(CapabilityTable, EachMessageInItsContainer) {
    const CapabilityRow& row = GetParam();
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    const bool array = row.getContainer == TWON_ARRAY;
    const auto get = twain().capability(row.cap, MSG_GET);
    ASSERT_EQ(TWRC_SUCCESS, get.rc);
    EXPECT_EQ(row.getContainer, get.conType);
    EXPECT_EQ(row.itemType, get.itemType);
    for (TW_UINT16 msg : {MSG_GETCURRENT, MSG_GETDEFAULT}) {
        const auto one = twain().capability(row.cap, msg);
        EXPECT_EQ(TWRC_SUCCESS, one.rc) << msg;
        EXPECT_EQ(array ? TWON_ARRAY : TWON_ONEVALUE, one.conType) << msg;
        EXPECT_EQ(row.itemType, one.itemType) << msg;
        if (row.getContainer == TWON_ENUMERATION && msg == MSG_GETCURRENT) {
            EXPECT_EQ(get.items.at(get.current), one.items.at(0)) << "the enumeration's current index";
        }
    }
    const auto support = twain().capability(row.cap, MSG_QUERYSUPPORT);
    ASSERT_EQ(TWRC_SUCCESS, support.rc);
    EXPECT_EQ(TWTY_INT32, support.itemType);
    const TW_UINT32 reading = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
    EXPECT_EQ(row.settable ? reading | TWQC_SET | TWQC_RESET : reading, support.items.at(0));

    const auto current = twain().capability(row.cap, MSG_GETCURRENT);
    const TW_UINT16 set = array ? twain().setArray(row.cap, row.itemType, current.items)
                                : twain().setOne(row.cap, row.itemType, current.items.at(0));
    EXPECT_EQ(row.settable ? TWRC_SUCCESS : TWRC_FAILURE, set);
    EXPECT_EQ(row.settable ? TWCC_SUCCESS : TWCC_CAPBADOPERATION, twain().condition());
    EXPECT_EQ(row.settable ? TWRC_SUCCESS : TWRC_FAILURE, twain().capability(row.cap, MSG_RESET).rc);
}

INSTANTIATE_TEST_SUITE_P(EveryCapability, CapabilityTable, ::testing::ValuesIn(kCapabilities),
                         [](const ::testing::TestParamInfo<CapabilityRow>& i) { return std::string(i.param.name); });

TEST_F(TwainSourceTest, SupportedCapsListsTheTable) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    std::vector<TW_UINT32> listed = twain().capability(CAP_SUPPORTEDCAPS, MSG_GET).items, expected;
    for (const CapabilityRow& row : kCapabilities) expected.push_back(row.cap);
    expected.push_back(CAP_DEVICETIMEDATE);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, listed);
}

// Values out of range, the wrong container or item type, and what a reset
// gives back.
TEST_F(TwainSourceTest, BadValuesAreRefusedAndResetRestores) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    struct Bad { TW_UINT16 cap, type; TW_UINT32 item; };
    for (const Bad& b : {Bad{CAP_XFERCOUNT, TWTY_INT16, 0}, Bad{CAP_XFERCOUNT, TWTY_INT16, 0xfffe},
                         Bad{ICAP_XFERMECH, TWTY_UINT16, 3}, Bad{ICAP_XFERMECH, TWTY_UINT32, TWSX_FILE},
                         Bad{ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_TIFF}, Bad{CAP_INDICATORS, TWTY_BOOL, 2}}) {
        SCOPED_TRACE(b.cap);
        EXPECT_EQ(TWRC_FAILURE, twain().setOne(b.cap, b.type, b.item));
        EXPECT_EQ(TWCC_BADVALUE, twain().condition());
    }
    EXPECT_EQ(TWRC_FAILURE, twain().setOne(0x8123, TWTY_UINT16, 0));
    EXPECT_EQ(TWCC_CAPUNSUPPORTED, twain().condition());
    EXPECT_EQ(TWRC_FAILURE, twain().capability(0x8123, MSG_QUERYSUPPORT).rc);
    EXPECT_EQ(TWCC_CAPUNSUPPORTED, twain().condition());
    TW_CAPABILITY noContainer = {CAP_XFERCOUNT, TWON_ONEVALUE, nullptr};
    EXPECT_EQ(TWRC_FAILURE, twain().call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &noContainer));
    EXPECT_EQ(TWCC_BADVALUE, twain().condition());
    EXPECT_EQ(TWRC_FAILURE, twain().call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, nullptr));

    ASSERT_EQ(TWRC_SUCCESS, twain().setOne(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY));
    ASSERT_EQ(TWRC_SUCCESS, twain().setOne(CAP_XFERCOUNT, TWTY_INT16, 4));
    EXPECT_EQ(TWSX_NATIVE, twain().capability(ICAP_XFERMECH, MSG_RESET).items.at(0));
    BYTE any[16] = {};
    EXPECT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, any));
    EXPECT_EQ(0xffffu, twain().capability(CAP_XFERCOUNT, MSG_GETCURRENT).items.at(0));
    // A resolution the pictures do not have is answered with theirs.
    EXPECT_EQ(TWRC_CHECKSTATUS, twain().setOne(ICAP_XRESOLUTION, TWTY_FIX32, 300));
}

// The camera's clock in TWAIN's form, and only the events the camera has.
TEST_F(TwainSourceTest, CameraClockAndEventsThroughCapabilities) {
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    ASSERT_EQ(TWRC_SUCCESS, twain().setText(CAP_DEVICETIMEDATE, "2024/02/29 12:00:00"));
    EXPECT_EQ("2024/02/29 12:00", twain().capability(CAP_DEVICETIMEDATE, MSG_GET).text.substr(0, 16));
    EXPECT_EQ(TWRC_FAILURE, twain().setText(CAP_DEVICETIMEDATE, "2023/02/29 00:00:00"));
    EXPECT_EQ(TWCC_BADVALUE, twain().condition());
    EXPECT_EQ(TWRC_FAILURE, twain().capability(CAP_DEVICETIMEDATE, MSG_GETDEFAULT).rc);
    EXPECT_EQ(TWCC_CAPBADOPERATION, twain().condition());

    EXPECT_EQ(TWRC_CHECKSTATUS, twain().setArray(CAP_DEVICEEVENT, TWTY_UINT16, {TWDE_CHECKBATTERY, 0x8001}));
    EXPECT_EQ(std::vector<TW_UINT32>{TWDE_CHECKBATTERY}, twain().capability(CAP_DEVICEEVENT, MSG_GET).items);
    EXPECT_TRUE(twain().capability(CAP_DEVICEEVENT, MSG_RESET).items.empty());
}

}  // namespace
