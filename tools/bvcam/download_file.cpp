#include "download_file.h"

DownloadFile::DownloadFile() {
    stream_.OpenCB = onOpen;
    stream_.CloseCB = onClose;
    stream_.WriteCB = onWrite;
}

// The file is finished by commit(); closing the stream has nothing to do,
// but the message exchange wants a stream it can close.
void WINAPI DownloadFile::onClose(UINT_PTR, DWORD* error) { *error = 0; }

DWORD DownloadFile::create(const std::string& destination) {
    char name[MAX_PATH];
    if (!GetTempFileNameA(hostFolderOf(destination).c_str(), "bvc", 0, name)) return GetLastError();
    temporary_.reset(name);  // GetTempFileName made the file: it is ours from here
    file_.reset(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return GetLastError();
    destination_ = destination;
    return 0;
}

// A transfer that starts over (the library opens the stream again) begins
// with an empty file.
void WINAPI DownloadFile::onOpen(UINT_PTR context, DWORD, DWORD* error) {
    auto* self = from<DownloadFile>(context);
    *error = 0;
    self->written_ = 0;
    if (SetFilePointer(self->file_.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !SetEndOfFile(self->file_.get()))
        *error = self->fail(BVL_E_STREAM_OPEN_ERROR);
}

void WINAPI DownloadFile::onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    auto* self = from<DownloadFile>(context);
    DWORD done = 0;
    *error = 0;
    if (interrupted(count, error)) return;
    if (!WriteFile(self->file_.get(), buffer, *count, &done, nullptr) || done != *count) {
        *error = self->fail(BVL_E_STREAM_WRITE_ERROR);
        *count = done;
        return;
    }
    self->written_ += done;
    self->showProgress(self->written_);
}

DWORD DownloadFile::commit() {
    if (!FlushFileBuffers(file_.get())) return GetLastError();
    file_.reset();
    if (!MoveFileExA(temporary_.get().c_str(), destination_.c_str(), MOVEFILE_REPLACE_EXISTING))
        return GetLastError();
    temporary_.release();  // the file now lives under its destination name
    return 0;
}
