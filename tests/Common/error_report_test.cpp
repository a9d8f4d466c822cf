// The error report: component, kind and error texts, the exact line format,
// and when a constructed exception prints it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "Common/bvWinReg.h"
#include "Common/bv_exception.h"
#include "Common/error_report.h"
#include "Common/guarded_call.h"
#include "tests/support/debug_output_capture.h"

namespace {

TEST(ErrorReport, PrintsTheExactLineCutToTheBuffer) {
    const struct { const char* name; DWORD code; const char* file; DWORD line; const char* expected; } cases[] = {
        {"NamedComponentAndError", 0x0900008b, "Bvwinreg", 36,
         "\nbvError [setup generic: DEVICE_NOT_INSTALLED]  Bvwinreg line 36\n"},
        {"UnnamedComponentNeverNamesTheError", 0x0a000003, "f", 1,
         "\nbvError [component 10 generic: error 0x0003]  f line 1\n"},
        {"SpecificKindIsNumbered", 0x82700003, "ui", 2, "\nbvError [llsdk specific: error 0x0003]  ui line 2\n"},
        {"MessageComponent", 0x0c000006, "m", 3, "\nbvError [component 12 generic: error 0x0006]  m line 3\n"},
        {"NumberZeroHasNoName", 0x01000000, "z", 4, "\nbvError [client generic: error 0x0000]  z line 4\n"},
        {"LastNamedNumber", 0x070000c3, "z", 5, "\nbvError [colormap generic: COMM_BUFFER_FULL]  z line 5\n"},
        {"GapInTheListHasNoName", 0x03000052, "z", 8, "\nbvError [hlsdk generic: error 0x0052]  z line 8\n"},
        {"FirstNamedNumber", 0x04000001, "z", 9, "\nbvError [parse generic: UNIMPLEMENTED]  z line 9\n"},
    };
    char out[bv::kReportBufferSize];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bv::formatErrorReport(c.code, c.file, c.line, out, sizeof out);
        EXPECT_EQ(std::string(c.expected), out);
    }
    const std::string file(400, 'x');
    bv::formatErrorReport(0x0900008b, file.c_str(), 1, out, sizeof out);
    EXPECT_EQ(bv::kReportBufferSize - 1, std::string(out).size()) << "a long file name is cut to the buffer";
    EXPECT_EQ(0u, std::string(out).rfind("\nbvError [setup generic: DEVICE_NOT_INSTALLED]  xxx", 0));
}

// The report is caught through the debugger output channel, which needs
// Windows exception dispatch. Its line is an observed text: kept as it is.
TEST(DebugOutputReport, PrintedOnlyWithFileLineAndSwitch) {
    bvtest::DebugOutputCapture capture;
    bv::reportSwitch = 1;
    bv::bvCDeviceException raised(0x0900008b, "Bvwinreg", 36);
    bv::bvCException noLine(0x0900008b, "Bvwinreg", 0);
    bv::bvCGenericException noFile(0x0900008b, nullptr, 12);
    bv::missed({"bvWinReg", 28});  // a registry miss that falls back reports the same
    bv::reportSwitch = 0;
    bv::bvCException switchedOff(0x0900008b, "Bvwinreg", 36);
    bv::missed({"bvWinReg", 28});

    ASSERT_EQ(2u, capture.texts().size());
    EXPECT_EQ("\nbvError [setup generic: DEVICE_NOT_INSTALLED]  Bvwinreg line 36\n", capture.texts()[0]);
    EXPECT_EQ("\nbvError [setup generic: DEVICE_NOT_INSTALLED]  bvWinReg line 28\n", capture.texts()[1]);
    EXPECT_STREQ("", noFile.file);
    EXPECT_EQ(12u, noFile.line);
}

// What escapes an export becomes a code: the registry store's own, memory
// exhaustion, and anything else a fault of the library, not "no device".
// Entries whose result is not a code get their fallback instead.
TEST(ExportBoundary, TurnsWhatEscapesIntoItsCode) {
    EXPECT_EQ(BVL_E_REGISTRY, bv::runGuarded([]() -> DWORD { throw bv::bvCDeviceException(BVL_E_REGISTRY); }));
    EXPECT_EQ(BVL_E_MEM_ALLOC_FAILED, bv::runGuarded([]() -> DWORD { throw std::bad_alloc(); }));
    EXPECT_EQ(BVL_E_UNEXPECTED_EXCEPTION, bv::runGuarded([]() -> DWORD { throw std::out_of_range("x"); }));
    EXPECT_EQ(-7, bv::runGuardedOr(-7, []() -> int { throw std::bad_alloc(); }));
}

}  // namespace
