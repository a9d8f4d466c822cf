#include "camera_formats.h"

#include <cstring>

namespace {

constexpr size_t kVolumeHeadSize = 12;
constexpr size_t kEntryHeadSize = 10;

DWORD readWord(const std::vector<BYTE>& bytes, size_t offset) {
    DWORD value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// The NUL-terminated text starting at offset, or false when no terminator
// comes before the end of the bytes.
bool readText(const std::vector<BYTE>& bytes, size_t offset, std::string& text) {
    if (offset >= bytes.size()) return false;
    const char* start = reinterpret_cast<const char*>(bytes.data() + offset);
    const size_t length = strnlen(start, bytes.size() - offset);
    if (offset + length == bytes.size()) return false;
    text.assign(start, length);
    return true;
}

}  // namespace

bool parseVolumeList(const std::vector<BYTE>& bytes, std::vector<VolumeInfo>& volumes) {
    volumes.clear();
    if (bytes.size() < 4) return false;
    const DWORD count = readWord(bytes, 0);
    size_t offset = 4;
    for (DWORD i = 0; i < count; ++i) {
        VolumeInfo volume;
        if (bytes.size() < offset + kVolumeHeadSize) return false;
        if (!readText(bytes, offset + kVolumeHeadSize, volume.name)) return false;
        volume.totalBytes = readWord(bytes, offset + 4);
        volume.freeBytes = readWord(bytes, offset + 8);
        offset += kVolumeHeadSize + volume.name.size() + 1;
        volumes.push_back(volume);
    }
    return true;
}

bool parseListing(const std::vector<BYTE>& bytes, std::vector<DirectoryEntry>& entries) {
    entries.clear();
    for (size_t offset = 0; offset < bytes.size();) {
        DirectoryEntry entry;
        if (bytes.size() < offset + kEntryHeadSize) return false;
        if (!readText(bytes, offset + kEntryHeadSize, entry.name)) return false;
        entry.attributes = bytes[offset];
        entry.size = readWord(bytes, offset + 1);
        entry.time = readWord(bytes, offset + 6);
        offset += kEntryHeadSize + entry.name.size() + 1;
        entries.push_back(entry);
    }
    return true;
}

std::vector<BYTE> encodeSubtree(const std::string& path) {
    std::vector<BYTE> record;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) {
            record.push_back(0);
            record.insert(record.end(), path.begin() + start, path.begin() + end);
            record.push_back(0);
        }
        start = end + 1;
    }
    record.push_back(0);  // the closing entry: flags, then an empty name
    record.push_back(0);
    return record;
}

std::vector<char> buildNameList(const std::vector<std::string>& names) {
    std::vector<char> list;
    for (const std::string& name : names) {
        list.insert(list.end(), name.begin(), name.end());
        list.push_back('\0');
    }
    list.push_back('\0');
    return list;
}

std::vector<std::string> parseTextList(const std::vector<BYTE>& bytes) {
    std::vector<std::string> texts;
    std::string text;
    for (size_t offset = 0; readText(bytes, offset, text) && !text.empty(); offset += text.size() + 1)
        texts.push_back(text);
    return texts;
}

std::string parentPath(const std::string& path) {
    const size_t cut = path.rfind('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string leafName(const std::string& path) {
    const size_t cut = path.rfind('\\');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string joinPath(const std::string& directory, const std::string& name) {
    return directory.empty() ? name : directory + '\\' + name;
}

bool isPictureName(const std::string& name) {
    return name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".jpg") == 0;
}
