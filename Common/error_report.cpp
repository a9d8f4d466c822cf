#include "error_report.h"

#include <cstdio>
#include <iterator>

namespace bv {

WORD reportSwitch = 0;

namespace {

struct NumberName {
    unsigned number;
    const char* name;
};

const char* const kComponentNames[] = {
    nullptr, "client", "llsdk", "hlsdk", "parse", "develop", "decode", "colormap", "collect", "setup",
};

const NumberName kErrorNames[] = {
    {1, "UNIMPLEMENTED"}, {2, "INTERNAL_ERROR"}, {3, "MEM_ALLOC_FAILED"}, {4, "MEM_FREE_FAILED"},
    {5, "OPERATION_CANCELLED"}, {6, "INCOMPATIBLE_VERSION"}, {7, "NOT_SUPPORTED"},
    {8, "UNEXPECTED_EXCEPTION"}, {9, "PROTECTION_VIOLATION"}, {10, "MISSING_SUBCOMPONENT"},
    {11, "SELECTION_UNAVAILABLE"},
    {32, "FILE_IO_ERROR"}, {33, "FILE_TOO_MANY_OPEN"}, {34, "FILE_NOT_FOUND"}, {35, "FILE_OPEN_ERROR"},
    {36, "FILE_CLOSE_ERROR"}, {37, "FILE_SEEK_ERROR"}, {38, "FILE_TELL_ERROR"}, {39, "FILE_READ_ERROR"},
    {40, "FILE_WRITE_ERROR"}, {41, "FILE_PERMISSION_ERROR"}, {42, "FILE_DISK_FULL_ERROR"},
    {43, "FILE_ALREADY_EXISTS"}, {44, "FILE_FORMAT_UNRECOGNIZED"}, {45, "FILE_DATA_CORRUPT"},
    {64, "DIR_NOT_FOUND"}, {65, "DIR_IO_ERROR"}, {66, "DIR_ENTRY_NOT_FOUND"}, {67, "DIR_ENTRY_EXISTS"},
    {68, "DIR_NOT_EMPTY"},
    {80, "PROPERTIES_UNAVAILABLE"}, {81, "PROPERTIES_MISMATCH"}, {83, "PROPERTIES_NOT_LOADED"},
    {96, "INVALID_PARAMETER"}, {97, "INVALID_HANDLE"}, {98, "INVALID_POINTER"}, {99, "INVALID_INDEX"},
    {100, "INVALID_LENGTH"}, {101, "INVALID_FN_POINTER"}, {102, "INVALID_SORT_FN"},
    {128, "DEVICE_NOT_FOUND"}, {129, "DEVICE_BUSY"}, {130, "DEVICE_INVALID"}, {131, "DEVICE_EMERGENCY"},
    {132, "DEVICE_MEMORY_FULL"}, {133, "DEVICE_INTERNAL_ERROR"}, {134, "DEVICE_INVALID_PARAMETER"},
    {135, "DEVICE_NO_DISK"}, {136, "DEVICE_DISK_ERROR"}, {137, "DEVICE_CF_GATE_CHANGED"},
    {138, "DEVICE_DIAL_CHANGED"}, {139, "DEVICE_NOT_INSTALLED"}, {140, "DEVICE_STAY_AWAKE"},
    {160, "STREAM_IO_ERROR"}, {161, "STREAM_NOT_OPEN"}, {162, "STREAM_ALREADY_OPEN"},
    {163, "STREAM_OPEN_ERROR"}, {164, "STREAM_CLOSE_ERROR"}, {165, "STREAM_SEEK_ERROR"},
    {166, "STREAM_TELL_ERROR"}, {167, "STREAM_READ_ERROR"}, {168, "STREAM_WRITE_ERROR"},
    {169, "STREAM_PERMISSION_ERROR"}, {172, "STREAM_END_OF_STREAM"},
    {192, "COMM_PORT_IS_IN_USE"}, {193, "COMM_DISCONNECTED"}, {194, "COMM_DEVICE_INCOMPATIBLE"},
    {195, "COMM_BUFFER_FULL"},
};

// The message transport's own statuses (component 12) number from 1 and
// mean something else than the generic numbers of the same value.
const NumberName kMessageErrorNames[] = {
    {1, "MESSAGE_TIMEOUT"}, {2, "MESSAGE_NO_MEMORY"}, {3, "MESSAGE_NO_THREAD"},
    {4, "MESSAGE_NO_EXIT_STATUS"}, {5, "MESSAGE_STREAM_FAILED"}, {6, "MESSAGE_STREAM_INCOMPLETE"},
    {7, "MESSAGE_NESTED"},
};

const char* nameIn(const NumberName* first, const NumberName* last, unsigned number) {
    for (const NumberName* entry = first; entry != last; ++entry)
        if (entry->number == number) return entry->name;
    return nullptr;
}

}  // namespace

const char* componentName(unsigned component) {
    if (component >= sizeof kComponentNames / sizeof kComponentNames[0]) return nullptr;
    return kComponentNames[component];
}

const char* errorName(unsigned number) {
    return nameIn(std::begin(kErrorNames), std::end(kErrorNames), number);
}

const char* messageErrorName(unsigned number) {
    return nameIn(std::begin(kMessageErrorNames), std::end(kMessageErrorNames), number);
}

bool shouldReport(WORD reportSwitchValue, const char* file, DWORD line) {
    return reportSwitchValue != 0 && file != nullptr && line != 0;
}

void formatErrorReport(DWORD code, const char* file, DWORD line, char* out, std::size_t outSize) {
    const unsigned component = (code >> 24) & 0x7f;
    const unsigned number = code & 0xffff;
    const bool specific = (code & 0x80000000u) != 0;

    char componentText[32];
    const char* named = componentName(component);
    if (named)
        std::snprintf(componentText, sizeof componentText, "%s", named);
    else
        std::snprintf(componentText, sizeof componentText, "component %u", component);

    char errorText[32];
    const char* errorNamed = (!specific && named) ? errorName(number) : nullptr;
    if (errorNamed)
        std::snprintf(errorText, sizeof errorText, "%s", errorNamed);
    else
        std::snprintf(errorText, sizeof errorText, "error 0x%04x", number);

    std::snprintf(out, outSize, "\nbvError [%s %s: %s]  %s line %ld\n", componentText,
                  specific ? "specific" : "generic", errorText, file ? file : "",
                  static_cast<long>(line));
}

void printErrorReport(DWORD code, const char* file, DWORD line) {
    if (!shouldReport(reportSwitch, file, line)) return;
    char report[kReportBufferSize];
    formatErrorReport(code, file, line, report, sizeof report);
    OutputDebugStringA(report);
}

}  // namespace bv
