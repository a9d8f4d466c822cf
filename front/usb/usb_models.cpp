// baseGetUSBModels on any port type: the descriptions of the maker's USB
// cameras that the Still Image service knows, written to the caller's
// stream as NUL-terminated texts ended by an empty one.
#include "stream_wrappers.h"
#include "text_size.h"
#include "sti_transport.h"
#include "process_state.h"
#include "usb_road.h"

namespace bv {
namespace {

constexpr DWORD kModelListSize = 1024;

}  // namespace

DWORD listUsbModels(bvlStream* stream) {
    if (!stream || !stream->WriteCB) return BVL_E_INVALID_FN_POINTER;
    char models[kModelListSize];
    DWORD count = 0;
    if (FAILED(enumerateUsbModels(processState().stillImageLibrary.get(), models, sizeof models,
                                  &count)))
        return BVL_E_USB_MODEL_ENUM_FAILED;
    DWORD error = 0;
    streamOpen(stream, BVL_STREAM_OPEN_WRITE, &error);
    if (error != 0) return error;
    DWORD length = 0;
    stringListSize(models, &length);
    DWORD writeError = 0;
    writeAll(stream, reinterpret_cast<const BYTE*>(models), length, BVL_E_STREAM_WRITE_ERROR,
             &writeError);
    streamClose(stream, &error);
    return keepFirst(writeError, error);
}

}  // namespace bv
