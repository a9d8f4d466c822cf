#include "debug_output_capture.h"

namespace bvtest {
namespace {

std::vector<std::string> g_texts;  // the handler has no context argument

}  // namespace

DebugOutputCapture::DebugOutputCapture() : handler_(AddVectoredExceptionHandler(1, onException)) {
    g_texts.clear();
}

DebugOutputCapture::~DebugOutputCapture() { RemoveVectoredExceptionHandler(handler_); }

const std::vector<std::string>& DebugOutputCapture::texts() const { return g_texts; }

LONG CALLBACK DebugOutputCapture::onException(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    g_texts.emplace_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace bvtest
