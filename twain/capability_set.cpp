#include "capability_set.h"

#include <algorithm>
#include <string>

#include "camera_time.h"
#include "containers.h"

namespace {

constexpr TW_INT32 kReadOnly = TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT;
constexpr TW_INT32 kSettable = kReadOnly | TWQC_SET | TWQC_RESET;

// The events the camera's notifications can become.
const std::vector<TW_UINT32> kDeviceEvents = {TWDE_CHECKBATTERY, TWDE_DEVICEREMOVED, TWDE_POWERSAVE};

// A capability whose values form a fixed list: the settable ones keep
// their current value in a field of the settings.
struct ListCapability {
    TW_UINT16 cap;
    std::vector<TW_UINT32> values;
    TW_UINT32 deflt;
    TW_UINT16 SourceSettings::*field;  // null: read-only, always the default
};

const std::vector<ListCapability>& listCapabilities() {
    static const std::vector<ListCapability> kList = {
        {ICAP_XFERMECH, {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY, TWSX_MEMFILE}, TWSX_NATIVE, &SourceSettings::xferMech},
        {ICAP_COMPRESSION, {TWCP_NONE}, TWCP_NONE, nullptr},
        {ICAP_PIXELTYPE, {TWPT_RGB}, TWPT_RGB, nullptr},
        {ICAP_BITDEPTH, {24}, 24, nullptr},
        {ICAP_BITORDER, {TWBO_MSBFIRST}, TWBO_MSBFIRST, nullptr},
        {ICAP_PLANARCHUNKY, {TWPC_CHUNKY}, TWPC_CHUNKY, nullptr},
        {ICAP_PIXELFLAVOR, {TWPF_CHOCOLATE}, TWPF_CHOCOLATE, nullptr},
        {ICAP_UNITS, {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS}, TWUN_INCHES, &SourceSettings::units},
        {ICAP_IMAGEFILEFORMAT, {TWFF_BMP, TWFF_JFIF}, TWFF_JFIF, &SourceSettings::fileFormat},
    };
    return kList;
}

const ListCapability* findList(TW_UINT16 cap) {
    for (const ListCapability& c : listCapabilities())
        if (c.cap == cap) return &c;
    return nullptr;
}

TW_INT32 operationsOf(TW_UINT16 cap) {
    if (const ListCapability* c = findList(cap)) return c->field ? kSettable : kReadOnly;
    switch (cap) {
    case CAP_SUPPORTEDCAPS: case CAP_UICONTROLLABLE: case CAP_DEVICEONLINE: case CAP_ENABLEDSUIONLY:
    case ICAP_PHYSICALWIDTH: case ICAP_PHYSICALHEIGHT:
        return kReadOnly;
    case CAP_XFERCOUNT: case CAP_INDICATORS: case CAP_THUMBNAILSENABLED: case CAP_DEVICEEVENT:
    case ICAP_XRESOLUTION: case ICAP_YRESOLUTION:
        return kSettable;
    case CAP_DEVICETIMEDATE:
        return TWQC_GET | TWQC_GETCURRENT | TWQC_SET;
    default:
        return 0;
    }
}

TW_INT32 operationBit(TW_UINT16 msg) {
    switch (msg) {
    case MSG_GET: return TWQC_GET;
    case MSG_GETCURRENT: return TWQC_GETCURRENT;
    case MSG_GETDEFAULT: return TWQC_GETDEFAULT;
    case MSG_SET: return TWQC_SET;
    case MSG_RESET: return TWQC_RESET;
    default: return 0;
    }
}

// Hands a built container to the application's record.
TwainOutcome answer(TW_CAPABILITY& cap, TW_UINT16 conType, TW_HANDLE container) {
    if (!container) return {TWRC_FAILURE, TWCC_LOWMEMORY};
    cap.ConType = conType;
    cap.hContainer = container;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

TwainOutcome answerOne(TW_CAPABILITY& cap, const TwainMemory& memory, TW_UINT16 type, TW_UINT32 item) {
    return answer(cap, TWON_ONEVALUE, buildOneValue(memory, type, item));
}

TwainOutcome runList(const ListCapability& c, TW_UINT16 msg, TW_CAPABILITY& cap, SourceSettings& settings,
                     const TwainMemory& memory) {
    TW_UINT16 dummy = static_cast<TW_UINT16>(c.deflt);
    TW_UINT16& current = c.field ? settings.*c.field : dummy;
    if (msg == MSG_SET) {
        TW_UINT32 wanted = 0;
        if (!readOneValue(memory, cap, TWTY_UINT16, &wanted) ||
            std::find(c.values.begin(), c.values.end(), wanted) == c.values.end())
            return {TWRC_FAILURE, TWCC_BADVALUE};
        current = static_cast<TW_UINT16>(wanted);
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) current = static_cast<TW_UINT16>(c.deflt);
    if (msg == MSG_GET) return answer(cap, TWON_ENUMERATION, buildEnumeration(memory, TWTY_UINT16, c.values, current, c.deflt));
    return answerOne(cap, memory, TWTY_UINT16, msg == MSG_GETDEFAULT ? c.deflt : current);
}

TwainOutcome runFlag(bool* flag, bool deflt, TW_UINT16 msg, TW_CAPABILITY& cap, const TwainMemory& memory) {
    if (msg == MSG_SET) {
        TW_UINT32 wanted = 0;
        if (!readOneValue(memory, cap, TWTY_BOOL, &wanted) || wanted > 1) return {TWRC_FAILURE, TWCC_BADVALUE};
        *flag = wanted != 0;
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) *flag = deflt;
    return answerOne(cap, memory, TWTY_BOOL, msg == MSG_GETDEFAULT ? deflt : *flag);
}

TwainOutcome runXferCount(TW_UINT16 msg, TW_CAPABILITY& cap, SourceSettings& settings, const TwainMemory& memory) {
    if (msg == MSG_SET) {
        TW_UINT32 wanted = 0;
        if (!readOneValue(memory, cap, TWTY_INT16, &wanted)) return {TWRC_FAILURE, TWCC_BADVALUE};
        const auto count = static_cast<TW_INT16>(wanted);
        if (count == 0 || count < -1) return {TWRC_FAILURE, TWCC_BADVALUE};
        settings.xferCount = count;
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) settings.xferCount = -1;
    const TW_INT16 value = msg == MSG_GETDEFAULT ? -1 : settings.xferCount;
    return answerOne(cap, memory, TWTY_INT16, static_cast<TW_UINT16>(value));
}

// The camera's pictures carry their own resolution: a set of another one
// keeps it and says so.
TwainOutcome runResolution(TW_UINT16 msg, TW_CAPABILITY& cap, const SourceSettings& settings,
                           const CameraFacts& facts, const TwainMemory& memory) {
    const TW_UINT32 item = fix32Item(resolutionInUnits(facts.resolution, settings.units));
    if (msg == MSG_SET) {
        TW_UINT32 wanted = 0;
        if (!readOneValue(memory, cap, TWTY_FIX32, &wanted) || fix32Value(wanted) <= 0)
            return {TWRC_FAILURE, TWCC_BADVALUE};
        return {wanted == item ? TWRC_SUCCESS : TWRC_CHECKSTATUS, TWCC_SUCCESS};
    }
    if (msg == MSG_GET) return answer(cap, TWON_ENUMERATION, buildEnumeration(memory, TWTY_FIX32, {item}, item, item));
    return answerOne(cap, memory, TWTY_FIX32, item);
}

TwainOutcome runDeviceEvents(TW_UINT16 msg, TW_CAPABILITY& cap, SourceSettings& settings, const TwainMemory& memory) {
    if (msg == MSG_SET) {
        std::vector<TW_UINT32> wanted;
        if (!readArray(memory, cap, TWTY_UINT16, &wanted)) return {TWRC_FAILURE, TWCC_BADVALUE};
        std::vector<TW_UINT32> kept;
        for (TW_UINT32 e : wanted)
            if (std::find(kDeviceEvents.begin(), kDeviceEvents.end(), e) != kDeviceEvents.end() &&
                std::find(kept.begin(), kept.end(), e) == kept.end())
                kept.push_back(e);
        const bool all = kept.size() == wanted.size();
        settings.deviceEvents = kept;
        return {all ? TWRC_SUCCESS : TWRC_CHECKSTATUS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) settings.deviceEvents.clear();
    const std::vector<TW_UINT32> none;
    return answer(cap, TWON_ARRAY,
                  buildArray(memory, TWTY_UINT16, msg == MSG_GETDEFAULT ? none : settings.deviceEvents));
}

// "YYYY/MM/DD HH:mm:SS", the camera's clock read without any time zone.
TwainOutcome runClock(TW_UINT16 msg, TW_CAPABILITY& cap, const CameraFacts& facts, const TwainMemory& memory) {
    if (!facts.online) return {TWRC_FAILURE, TWCC_CHECKDEVICEONLINE};
    if (msg == MSG_SET) {
        std::string text;
        DWORD time = 0;
        if (!readOneText(memory, cap, TWTY_STR32, &text)) return {TWRC_FAILURE, TWCC_BADVALUE};
        std::replace(text.begin(), text.end(), '/', '-');
        if (!parseCameraTime(text, &time)) return {TWRC_FAILURE, TWCC_BADVALUE};
        if (facts.writeClock(time)) return {TWRC_FAILURE, TWCC_OPERATIONERROR};
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    DWORD time = 0;
    if (facts.readClock(&time)) return {TWRC_FAILURE, TWCC_OPERATIONERROR};
    std::string text = formatCameraTime(time);
    std::replace(text.begin(), text.end(), '-', '/');
    return answer(cap, TWON_ONEVALUE, buildOneText(memory, TWTY_STR32, text));
}

}  // namespace

const std::vector<TW_UINT32>& supportedCapabilities() {
    static const std::vector<TW_UINT32> kCaps = {
        CAP_SUPPORTEDCAPS, CAP_XFERCOUNT, CAP_UICONTROLLABLE, CAP_DEVICEONLINE, CAP_INDICATORS,
        CAP_ENABLEDSUIONLY, CAP_DEVICETIMEDATE, CAP_THUMBNAILSENABLED, CAP_DEVICEEVENT,
        ICAP_XFERMECH, ICAP_COMPRESSION, ICAP_PIXELTYPE, ICAP_BITDEPTH, ICAP_BITORDER, ICAP_PLANARCHUNKY,
        ICAP_PIXELFLAVOR, ICAP_UNITS, ICAP_XRESOLUTION, ICAP_YRESOLUTION, ICAP_PHYSICALWIDTH,
        ICAP_PHYSICALHEIGHT, ICAP_IMAGEFILEFORMAT,
    };
    return kCaps;
}

double resolutionInUnits(double dpi, TW_UINT16 units) {
    if (units == TWUN_CENTIMETERS) return dpi / 2.54;
    if (units == TWUN_PIXELS) return 1.0;
    return dpi;
}

double inUnits(TW_UINT32 pixels, double dpi, TW_UINT16 units) {
    return units == TWUN_PIXELS ? pixels : pixels / resolutionInUnits(dpi, units);
}

TwainOutcome runCapability(TW_UINT16 msg, TW_CAPABILITY& cap, SourceSettings& settings, const CameraFacts& facts,
                           const TwainMemory& memory) {
    const TW_INT32 operations = operationsOf(cap.Cap);
    if (operations == 0) return {TWRC_FAILURE, TWCC_CAPUNSUPPORTED};
    if (msg == MSG_QUERYSUPPORT) return answerOne(cap, memory, TWTY_INT32, static_cast<TW_UINT32>(operations));
    if ((operations & operationBit(msg)) == 0) return {TWRC_FAILURE, TWCC_CAPBADOPERATION};
    if (const ListCapability* list = findList(cap.Cap)) return runList(*list, msg, cap, settings, memory);
    switch (cap.Cap) {
    case CAP_SUPPORTEDCAPS: return answer(cap, TWON_ARRAY, buildArray(memory, TWTY_UINT16, supportedCapabilities()));
    case CAP_UICONTROLLABLE: case CAP_ENABLEDSUIONLY: return answerOne(cap, memory, TWTY_BOOL, 1);
    case CAP_DEVICEONLINE: return answerOne(cap, memory, TWTY_BOOL, facts.online ? 1 : 0);
    case CAP_INDICATORS: return runFlag(&settings.indicators, true, msg, cap, memory);
    case CAP_THUMBNAILSENABLED: return runFlag(&settings.thumbnails, false, msg, cap, memory);
    case CAP_XFERCOUNT: return runXferCount(msg, cap, settings, memory);
    case CAP_DEVICEEVENT: return runDeviceEvents(msg, cap, settings, memory);
    case CAP_DEVICETIMEDATE: return runClock(msg, cap, facts, memory);
    case ICAP_XRESOLUTION: case ICAP_YRESOLUTION: return runResolution(msg, cap, settings, facts, memory);
    case ICAP_PHYSICALWIDTH:
        return answerOne(cap, memory, TWTY_FIX32, fix32Item(inUnits(facts.pictureWidth, facts.resolution, settings.units)));
    case ICAP_PHYSICALHEIGHT:
        return answerOne(cap, memory, TWTY_FIX32, fix32Item(inUnits(facts.pictureHeight, facts.resolution, settings.units)));
    default: return {TWRC_FAILURE, TWCC_CAPUNSUPPORTED};
    }
}
