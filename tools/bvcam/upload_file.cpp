#include "upload_file.h"

UploadFile::UploadFile() {
    stream_.ReadCB = onRead;
    stream_.SeekCB = onSeek;
    stream_.TellCB = onTell;
}

DWORD UploadFile::open(const std::string& path) {
    file_.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return GetLastError();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size)) return GetLastError();
    if (size.QuadPart > MAXDWORD) return ERROR_FILE_TOO_LARGE;
    size_ = static_cast<unsigned long long>(size.QuadPart);
    return 0;
}

bool UploadFile::position(unsigned long long* offset) {
    LARGE_INTEGER none = {}, here = {};
    if (!SetFilePointerEx(file_.get(), none, &here, FILE_CURRENT)) return false;
    *offset = static_cast<unsigned long long>(here.QuadPart);
    return true;
}

void WINAPI UploadFile::onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error) {
    auto* self = from<UploadFile>(context);
    DWORD done = 0;
    if (interrupted(count, error)) return;
    *error = ReadFile(self->file_.get(), buffer, *count, &done, nullptr) ? 0 : self->fail(BVL_E_STREAM_READ_ERROR);
    *count = done;
    unsigned long long offset = 0;
    if (*error == 0 && self->position(&offset)) self->showProgress(offset);
}

// Origins: BVL_SEEK_SET from the start, BVL_SEEK_END from the end.
void WINAPI UploadFile::onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error) {
    auto* self = from<UploadFile>(context);
    *error = 0;
    if (origin != BVL_SEEK_SET && origin != BVL_SEEK_END) {
        *error = BVL_E_STREAM_SEEK_ERROR;
        return;
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(self->file_.get(), distance, nullptr, origin == BVL_SEEK_SET ? FILE_BEGIN : FILE_END))
        *error = self->fail(BVL_E_STREAM_SEEK_ERROR);
}

DWORD WINAPI UploadFile::onTell(UINT_PTR context, DWORD* error) {
    auto* self = from<UploadFile>(context);
    unsigned long long offset = 0;
    *error = self->position(&offset) ? 0 : self->fail(BVL_E_STREAM_TELL_ERROR);
    return static_cast<DWORD>(offset);
}
