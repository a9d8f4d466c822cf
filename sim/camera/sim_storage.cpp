// The virtual camera's storage: each volume is a card slot whose content
// is a folder on the host, so what the camera holds can be seen (and
// prepared) with any file tool. Camera paths name the volume first; the
// rest maps onto the card folder component by component.
#include <windows.h>

#include "sim_camera.h"
#include "sim_host_files.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

// The camera's attribute bits are the host's for read-only, hidden and
// directory; the host's archive bit (which it sets on every file) is not
// the camera's.
BYTE cameraAttributes(DWORD host) {
    return static_cast<BYTE>((host & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) |
                             ((host & FILE_ATTRIBUTE_DIRECTORY) ? kAttribDirectory : 0));
}

DWORD hostAttributesOf(BYTE camera) { return camera & (kAttribReadOnly | kAttribHidden); }

bool exists(DWORD attributes) { return attributes != INVALID_FILE_ATTRIBUTES; }
bool isFolder(DWORD attributes) { return exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY); }
bool isReadOnly(DWORD attributes) { return exists(attributes) && (attributes & FILE_ATTRIBUTE_READONLY); }

std::wstring parentOf(const std::wstring& path) { return path.substr(0, path.rfind(L'\\')); }

bool isPicture(const std::wstring& name) {
    return name.size() > 4 && lstrcmpiW(name.c_str() + name.size() - 4, L".JPG") == 0;
}

DWORD lastCode() { return cameraCodeOf(GetLastError()); }

}  // namespace

bool splitCameraPath(const std::string& path, std::string& volume, std::string& rest) {
    size_t start = 0;
    std::string parts[2];
    for (size_t i = 0; start <= path.size(); ++i) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == ".." || part.find_first_of("/:") != std::string::npos)
            return false;
        std::string& into = parts[i == 0 ? 0 : 1];
        if (i > 1) into += '\\';
        into += part;
        start = end + 1;
    }
    volume = parts[0];
    rest = parts[1];
    return true;
}

const SimCard* SimCamera::findCard(const std::string& volume) const {
    for (const SimCard& c : cards_)
        if (lstrcmpiA(c.volume.c_str(), volume.c_str()) == 0) return &c;
    return nullptr;
}

DWORD SimCamera::locate(const std::string& path, Located& where) const {
    std::string volume, rest;
    if (!splitCameraPath(path, volume, rest)) return kCamInvalidParameter;
    where.card = findCard(volume);
    if (!where.card) return kCamDirNotFound;
    where.root = rest.empty();
    where.host = where.root ? where.card->folder : where.card->folder + L"\\" + widen(rest);
    return 0;
}

std::vector<SimVolume> SimCamera::volumes() const {
    std::vector<SimVolume> out;
    for (const SimCard& c : cards_) out.push_back({c.passThrough, c.capacity, c.volume});
    return out;
}

DWORD SimCamera::freeBytes(const std::string& volume) const {
    const SimCard* card = findCard(volume);
    if (!card) return 0;
    const ULONGLONG used = hostTreeBytes(card->folder);
    return used >= card->capacity ? 0 : card->capacity - static_cast<DWORD>(used);
}

DWORD SimCamera::listDirectory(const std::string& path, std::vector<SimEntry>& entries) const {
    Located at;
    if (DWORD rc = locate(path, at)) return rc;
    std::vector<HostEntry> found;
    if (!isFolder(hostAttributes(at.host)) || !listHostFolder(at.host, found)) return kCamDirNotFound;
    entries.clear();
    for (const HostEntry& e : found)
        entries.push_back({narrow(e.name), cameraAttributes(e.attributes), e.size, cameraTimeOf(e.written)});
    return 0;
}

DWORD SimCamera::locateEntry(const std::string& path, Located& where, DWORD& attributes) const {
    if (DWORD rc = locate(path, where)) return rc == kCamDirNotFound ? kCamFileNotFound : rc;
    attributes = hostAttributes(where.host);
    return exists(attributes) ? 0 : kCamFileNotFound;
}

DWORD SimCamera::readFile(const std::string& path, std::vector<BYTE>& data) const {
    Located at;
    DWORD attributes;
    if (DWORD rc = locateEntry(path, at, attributes)) return rc;
    if (isFolder(attributes)) return kCamFileNotFound;
    return readHostFile(at.host, data) ? 0 : lastCode();
}

DWORD SimCamera::jpegHeader(const std::string& path, std::vector<BYTE>& header) const {
    if (DWORD rc = readFile(path, header)) return rc;
    size_t length = 0;
    if (!jpegHeaderLength(header.data(), header.size(), &length)) return kCamNotPicture;
    header.resize(length);
    return 0;
}

DWORD SimCamera::checkWrite(const std::string& path, DWORD size) const {
    Located at;
    if (DWORD rc = locate(path, at)) return rc;
    if (at.root) return kCamEntryExists;
    if (!isFolder(hostAttributes(parentOf(at.host)))) return kCamDirNotFound;
    const DWORD attributes = hostAttributes(at.host);
    if (isFolder(attributes)) return kCamEntryExists;
    if (isReadOnly(attributes)) return kCamEntryReadOnly;
    WIN32_FILE_ATTRIBUTE_DATA old = {};
    const DWORD replaced =
        exists(attributes) && GetFileAttributesExW(at.host.c_str(), GetFileExInfoStandard, &old) ? old.nFileSizeLow : 0;
    if (size > freeBytes(at.card->volume) + static_cast<ULONGLONG>(replaced)) return kCamMemoryFull;
    return 0;
}

DWORD SimCamera::writeFile(const std::string& path, const std::vector<BYTE>& data) {
    if (DWORD rc = checkWrite(path, static_cast<DWORD>(data.size()))) return rc;
    Located at;
    locate(path, at);
    const std::wstring staged = uploadStagingFile();
    if (!writeHostFile(staged, data) || !moveHostFile(staged, at.host)) {
        const DWORD rc = lastCode();
        deleteHostFile(staged);
        return rc;
    }
    // Set on the card: a move between file systems copies and may not
    // carry the time along.
    return setHostTime(at.host, clock_) ? 0 : lastCode();
}

DWORD SimCamera::deleteFile(const std::string& path) {
    Located at;
    DWORD attributes;
    if (DWORD rc = locateEntry(path, at, attributes)) return rc;
    if (isFolder(attributes)) return kCamFileNotFound;
    if (isReadOnly(attributes)) return kCamEntryReadOnly;
    return deleteHostFile(at.host) ? 0 : lastCode();
}

DWORD SimCamera::createDirectory(const std::string& path) {
    Located at;
    if (DWORD rc = locate(path, at)) return rc;
    if (at.root || exists(hostAttributes(at.host))) return kCamEntryExists;
    if (!isFolder(hostAttributes(parentOf(at.host)))) return kCamDirNotFound;
    if (!CreateDirectoryW(at.host.c_str(), nullptr)) return lastCode();
    return setHostTime(at.host, clock_) ? 0 : lastCode();
}

DWORD SimCamera::removeDirectory(const std::string& path) {
    Located at;
    if (DWORD rc = locate(path, at)) return rc;
    if (at.root || !isFolder(hostAttributes(at.host))) return kCamDirNotFound;
    std::vector<HostEntry> inside;
    if (!listHostFolder(at.host, inside)) return lastCode();
    if (!inside.empty()) return kCamDirNotEmpty;
    SetFileAttributesW(at.host.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(at.host.c_str()) ? 0 : lastCode();
}

// The directory bit belongs to the entry and is never changed here.
DWORD SimCamera::setAttributes(const std::string& path, BYTE attributes) {
    Located at;
    DWORD old;
    if (DWORD rc = locateEntry(path, at, old)) return rc;
    const DWORD kind = old & FILE_ATTRIBUTE_DIRECTORY;
    return setHostAttributes(at.host, hostAttributesOf(attributes) | kind) ? 0 : lastCode();
}

DWORD SimCamera::setTime(const std::string& path, DWORD time) {
    Located at;
    DWORD attributes;
    if (DWORD rc = locateEntry(path, at, attributes)) return rc;
    return setHostTime(at.host, time) ? 0 : lastCode();
}

// Every picture on the volume, in every directory; read-only pictures,
// other files and the directories stay.
DWORD SimCamera::deletePictures(const std::string& volume) {
    const SimCard* card = findCard(volume);
    return card ? deletePicturesUnder(card->folder) : kCamDirNotFound;
}

DWORD SimCamera::deletePicturesUnder(const std::wstring& folder) {
    std::vector<HostEntry> entries;
    if (!listHostFolder(folder, entries)) return lastCode();
    for (const HostEntry& e : entries) {
        const std::wstring path = folder + L"\\" + e.name;
        DWORD rc = 0;
        if (e.attributes & FILE_ATTRIBUTE_DIRECTORY)
            rc = deletePicturesUnder(path);
        else if (isPicture(e.name) && !(e.attributes & FILE_ATTRIBUTE_READONLY))
            rc = deleteHostFile(path) ? 0 : lastCode();
        if (rc != 0) return rc;
    }
    return 0;
}

DWORD SimCamera::formatVolume(const std::string& volume) {
    const SimCard* card = findCard(volume);
    if (!card) return kCamDirNotFound;
    return clearHostFolder(card->folder) ? 0 : lastCode();
}

void SimCamera::addPicture(const std::wstring& path, DWORD size, DWORD time) {
    writeHostFile(path, makePicture(size, size));
    setHostTime(path, time);
}

}  // namespace bvsim
