// baseGetUSBModels on any port type: the descriptions of the maker's USB
// cameras that the Still Image service knows, written to the caller's
// stream as NUL-terminated texts ended by an empty one. A failed listing
// gives its code before the stream is looked at; a stream without a writer
// is opened and closed again and gets nothing.
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
    char models[kModelListSize];
    DWORD count = 0;
    if (FAILED(enumerateUsbModels(processState().stillImageLibrary.get(), models, sizeof models,
                                  &count)))
        return BVL_E_USB_MODEL_ENUM_FAILED;
    if (!stream) return BVL_E_INVALID_FN_POINTER;
    DWORD error = 0;
    streamOpen(stream, BVL_STREAM_OPEN_WRITE, &error);
    if (error != 0) return error;
    DWORD writeError = BVL_E_INVALID_FN_POINTER;
    if (stream->WriteCB) {
        DWORD length = 0;
        stringListSize(models, &length);
        writeAll(stream, reinterpret_cast<const BYTE*>(models), length, BVL_E_STREAM_WRITE_ERROR,
                 &writeError);
    }
    streamClose(stream, &error);
    return keepFirst(writeError, error);
}

}  // namespace bv
