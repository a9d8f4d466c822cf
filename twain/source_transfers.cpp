// The source's transfers: the picture at hand is fetched whole in state 6
// and served from memory by whichever mechanism the application calls.
#include <algorithm>
#include <cstring>

#include "containers.h"
#include "image_layouts.h"
#include "progress_window.h"
#include "source.h"

namespace {

constexpr TW_UINT32 kPreferredBuffer = 64 * 1024;
constexpr char kDefaultFileName[] = "TWAIN.TMP";

TW_FIX32 fix32(double value) {
    const TW_UINT32 item = fix32Item(value);
    TW_FIX32 fix;
    std::memcpy(&fix, &item, sizeof fix);
    return fix;
}

// "Bild BRV_0001.JPG wird übertragen".
std::wstring progressText(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    return L"Bild " + std::wstring(name.begin(), name.end()) + L" wird \u00fcbertragen";
}

bool writeWholeFile(const char* name, const std::vector<BYTE>& bytes) {
    bv::OwnedFile file(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

TwainOutcome Source::pendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS* data) {
    if (msg == MSG_GET && !data) return {TWRC_FAILURE, TWCC_BADVALUE};
    if (msg == MSG_ENDXFER && pending_ > 0) {
        --pending_;
        ++next_;
    }
    if (msg == MSG_RESET) pending_ = 0;
    if (msg != MSG_GET) {
        current_.clear();
        state_ = pending_ > 0 ? 6 : 5;
    }
    if (data) *data = {pending_, 0};
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// The picture at hand, fetched on the first operation that needs it. A
// camera that fails leaves the source in state 6: the application ends
// this transfer and may go on with the next. The progress window lets
// the application end the transfer, disable or close the source during
// the fetch, which then fails; the pictures may be gone on return.
TwainOutcome Source::prepareCurrent() {
    if (next_ >= pictures_.size()) return {TWRC_FAILURE, TWCC_SEQERROR};
    const std::string path = pictures_[next_].path;
    std::unique_ptr<ProgressWindow> window;
    if (settings_.indicators && !current_.holds(path))
        window = std::make_unique<ProgressWindow>(module_, progressText(path));
    const auto report = [&window](DWORD percent) { if (window) window->show(percent); };
    const int state = state_;
    const DWORD rc = current_.prepare(camera_, path, settings_.thumbnails, report);
    if (closeAfterFetch_) closeSource();
    // Ended from within: the fetch failed and the state has moved on.
    if (state_ != state) return {TWRC_FAILURE, TWCC_SEQERROR};
    if (rc == 0) return {TWRC_SUCCESS, TWCC_SUCCESS};
    if (rc == BVL_E_LL_COMM_DISCONNECTED || !camera_.online()) return {TWRC_FAILURE, TWCC_CHECKDEVICEONLINE};
    return {TWRC_FAILURE, rc == BVL_E_MEM_ALLOC_FAILED ? TWCC_LOWMEMORY : TWCC_OPERATIONERROR};
}

TwainOutcome Source::imageInfo(TW_IMAGEINFO* data) {
    const TwainOutcome prepared = prepareCurrent();
    if (prepared.rc != TWRC_SUCCESS) return prepared;
    const PictureFacts& facts = current_.facts();
    *data = {};
    data->XResolution = data->YResolution = fix32(facts.dpi);
    data->ImageWidth = static_cast<TW_INT32>(facts.width);
    data->ImageLength = static_cast<TW_INT32>(facts.height);
    data->SamplesPerPixel = 3;
    for (int i = 0; i < 3; ++i) data->BitsPerSample[i] = 8;
    data->BitsPerPixel = 24;
    data->Planar = FALSE;
    data->PixelType = TWPT_RGB;
    const bool jpegBytes = settings_.xferMech == TWSX_MEMFILE ||
                           (settings_.xferMech == TWSX_FILE && settings_.fileFormat == TWFF_JFIF);
    data->Compression = jpegBytes ? TWCP_JPEG : TWCP_NONE;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// The frame is the whole picture: the one at hand in state 6, otherwise
// the camera's picture size.
TwainOutcome Source::imageLayout(TW_UINT16 msg, TW_IMAGELAYOUT* data) {
    if (msg == MSG_SET) return {TWRC_CHECKSTATUS, TWCC_SUCCESS};
    if (msg == MSG_RESET) return {TWRC_SUCCESS, TWCC_SUCCESS};
    if (state_ == 6 && msg == MSG_GET) {
        const TwainOutcome prepared = prepareCurrent();
        if (prepared.rc != TWRC_SUCCESS) return prepared;
    }
    const CameraFacts facts = cameraFacts();
    *data = {};
    data->Frame.Right = fix32(inUnits(facts.pictureWidth, facts.resolution, settings_.units));
    data->Frame.Bottom = fix32(inUnits(facts.pictureHeight, facts.resolution, settings_.units));
    data->DocumentNumber = 1;
    data->PageNumber = static_cast<TW_UINT32>(next_ + 1);
    data->FrameNumber = 1;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

TwainOutcome Source::setupMemory(TW_SETUPMEMXFER* data) {
    const UINT width = current_.facts().width ? current_.facts().width : kCameraPictureWidth;
    const TW_UINT32 row = memoryRowBytes(width);
    data->MinBufSize = row;
    data->MaxBufSize = TWON_DONTCARE32;
    data->Preferred = std::max(row, kPreferredBuffer / row * row);
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

TwainOutcome Source::setupFile(TW_UINT16 msg, TW_SETUPFILEXFER* data) {
    if (msg == MSG_GET) *data = fileSetup_;
    if (msg == MSG_GETDEFAULT || msg == MSG_RESET) {
        TW_SETUPFILEXFER deflt = {};
        std::strcpy(deflt.FileName, kDefaultFileName);
        deflt.Format = TWFF_JFIF;
        *data = deflt;
        if (msg == MSG_RESET) {
            fileSetup_ = deflt;
            settings_.fileFormat = deflt.Format;
        }
    }
    if (msg == MSG_SET) {
        if ((data->Format != TWFF_JFIF && data->Format != TWFF_BMP) || data->FileName[0] == '\0' ||
            !std::memchr(data->FileName, '\0', sizeof data->FileName))
            return {TWRC_FAILURE, TWCC_BADVALUE};
        fileSetup_ = *data;
        settings_.fileFormat = data->Format;
    }
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

TwainOutcome Source::transferDone(TwainOutcome outcome) {
    if (outcome.rc == TWRC_XFERDONE || outcome.rc == TWRC_SUCCESS) state_ = 7;
    return outcome;
}

TwainOutcome Source::nativeTransfer(TW_HANDLE* data) {
    TwainOutcome prepared = prepareCurrent();
    if (prepared.rc != TWRC_SUCCESS) return prepared;
    if (FAILED(current_.decode())) return {TWRC_FAILURE, TWCC_OPERATIONERROR};
    const std::vector<BYTE> dib = buildDib(current_.bitmap(), current_.facts().dpi);
    const TW_HANDLE handle = memory_.allocate(static_cast<TW_UINT32>(dib.size()));
    if (!handle) return {TWRC_FAILURE, TWCC_LOWMEMORY};
    {
        LockedBlock block(memory_, handle);
        std::memcpy(block.as<BYTE>(), dib.data(), dib.size());
    }
    *data = handle;
    return transferDone({TWRC_XFERDONE, TWCC_SUCCESS});
}

TwainOutcome Source::fileTransfer() {
    TwainOutcome prepared = prepareCurrent();
    if (prepared.rc != TWRC_SUCCESS) return prepared;
    std::vector<BYTE> bytes = current_.jpeg();
    if (fileSetup_.Format == TWFF_BMP) {
        if (FAILED(current_.decode())) return {TWRC_FAILURE, TWCC_OPERATIONERROR};
        bytes = buildBmpFile(buildDib(current_.bitmap(), current_.facts().dpi));
    }
    if (!writeWholeFile(fileSetup_.FileName, bytes)) return {TWRC_FAILURE, TWCC_FILEWRITEERROR};
    return transferDone({TWRC_XFERDONE, TWCC_SUCCESS});
}

// One buffer of a memory transfer: whole rows in red-green-blue order, or
// (file) the next bytes of the JFIF file. TWRC_XFERDONE with the last.
TwainOutcome Source::memoryTransfer(TW_IMAGEMEMXFER* data, bool file) {
    TwainOutcome prepared = prepareCurrent();
    if (prepared.rc != TWRC_SUCCESS) return prepared;
    if (!file && FAILED(current_.decode())) return {TWRC_FAILURE, TWCC_OPERATIONERROR};
    TW_MEMORY& buffer = data->Memory;
    const bool handle = (buffer.Flags & TWMF_HANDLE) != 0;
    BYTE* out = static_cast<BYTE*>(handle ? memory_.lock(buffer.TheMem) : buffer.TheMem);
    if (!out) return {TWRC_FAILURE, TWCC_BADVALUE};
    const UINT width = current_.facts().width, height = current_.facts().height;
    TwainOutcome outcome = {TWRC_SUCCESS, TWCC_SUCCESS};
    if (file) {
        const std::vector<BYTE>& jpeg = current_.jpeg();
        const size_t count = std::min<size_t>(buffer.Length, jpeg.size() - current_.delivered);
        std::memcpy(out, jpeg.data() + current_.delivered, count);
        current_.delivered += count;
        data->Compression = TWCP_JPEG;
        data->BytesPerRow = data->Columns = data->Rows = data->XOffset = data->YOffset = TWON_DONTCARE32;
        data->BytesWritten = static_cast<TW_UINT32>(count);
        if (current_.delivered == jpeg.size()) outcome.rc = TWRC_XFERDONE;
    } else if (buffer.Length < memoryRowBytes(width)) {
        outcome = {TWRC_FAILURE, TWCC_BADVALUE};
    } else {
        const UINT rows = static_cast<UINT>(std::min<size_t>(buffer.Length / memoryRowBytes(width), height - current_.delivered));
        copyRgbRows(current_.bitmap(), static_cast<UINT>(current_.delivered), rows, out);
        data->Compression = TWCP_NONE;
        data->BytesPerRow = memoryRowBytes(width);
        data->Columns = width;
        data->Rows = rows;
        data->XOffset = 0;
        data->YOffset = static_cast<TW_UINT32>(current_.delivered);
        data->BytesWritten = rows * memoryRowBytes(width);
        current_.delivered += rows;
        if (current_.delivered == height) outcome.rc = TWRC_XFERDONE;
    }
    if (handle) memory_.unlock(buffer.TheMem);
    return transferDone(outcome);
}
