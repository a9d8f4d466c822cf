// Command payloads and replies in the camera's own reading: subtree
// records, text lists, directory listings and the fixed-size records.
#include "sim_wire.h"

#include <algorithm>
#include <cstring>

namespace bvsim {
namespace {

constexpr BYTE kSubtreeSecondText = 0x40;
constexpr WORD kPortTypeUsb = 3;
constexpr DWORD kPortNameSize = 32;
constexpr DWORD kPortModelOffset = 2 + kPortNameSize;
constexpr DWORD kPortDeviceOffset = kPortModelOffset + 4;

void putWordAt(std::vector<BYTE>& out, size_t offset, DWORD value) {
    std::memcpy(out.data() + offset, &value, 4);
}

// Copies a text into a fixed field, cut so that a terminator always fits.
void putTextAt(std::vector<BYTE>& out, size_t offset, const std::string& text, size_t field) {
    std::memcpy(out.data() + offset, text.data(), std::min(text.size(), field - 1));
}

}  // namespace

DWORD readWord(const BYTE* p) {
    DWORD w;
    std::memcpy(&w, p, 4);
    return w;
}

bool readText(const BYTE* p, DWORD length, std::string& text) {
    if (!p) return false;
    const BYTE* end = static_cast<const BYTE*>(std::memchr(p, 0, length));
    if (!end) return false;
    text.assign(reinterpret_cast<const char*>(p), end - p);
    return true;
}

bool readTextList(const BYTE* p, DWORD length, std::vector<std::string>& texts) {
    texts.clear();
    for (DWORD at = 0; p && at < length;) {
        std::string text;
        if (!readText(p + at, length - at, text)) return false;
        if (text.empty()) return !texts.empty();
        texts.push_back(text);
        at += static_cast<DWORD>(text.size()) + 1;
    }
    return false;
}

// Read by its terminator: the length that travels with the record is kept
// in eight bits and wraps for a deep path.
std::string subtreePath(const BYTE* subtree) {
    std::string path;
    for (const BYTE* p = subtree; p[1] != 0;) {
        const BYTE flags = *p++;
        const char* name = reinterpret_cast<const char*>(p);
        if (!path.empty()) path += '\\';
        path += name;
        p += std::strlen(name) + 1;
        if (flags & kSubtreeSecondText) p += std::strlen(reinterpret_cast<const char*>(p)) + 1;
    }
    return path;
}

std::vector<BYTE> encodeListing(const std::vector<SimEntry>& entries) {
    std::vector<BYTE> out;
    for (const SimEntry& e : entries) {
        BYTE head[10] = {e.attributes};
        std::memcpy(head + 1, &e.size, 4);
        std::memcpy(head + 6, &e.time, 4);
        out.insert(out.end(), head, head + sizeof head);
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.push_back(0);
    }
    return out;
}

std::vector<BYTE> packVolumeList(const std::vector<SimVolume>& volumes,
                                 const std::vector<DWORD>& freeBytes, DWORD slots) {
    const DWORD count = static_cast<DWORD>(volumes.size());
    const DWORD shown = std::min(count, slots);
    std::vector<BYTE> out(4 + kVolumeSlotSize * shown);
    putWordAt(out, 0, count);
    for (DWORD i = 0; i < shown; ++i) {
        const size_t slot = 4 + i * kVolumeSlotSize;
        putWordAt(out, slot, volumes[i].passThrough);
        putWordAt(out, slot + 4, volumes[i].totalBytes);
        putWordAt(out, slot + 8, freeBytes[i]);
        putTextAt(out, slot + 12, volumes[i].name, kVolumeNameSize);
    }
    return out;
}

std::vector<BYTE> packUsbPort(DWORD modelID, const std::string& deviceName) {
    std::vector<BYTE> out(kPortRecordSize);
    std::memcpy(out.data(), &kPortTypeUsb, 2);
    putTextAt(out, 2, "USB", kPortNameSize);
    putWordAt(out, kPortModelOffset, modelID);
    putTextAt(out, kPortDeviceOffset, deviceName, kPortRecordSize - kPortDeviceOffset);
    return out;
}

std::vector<BYTE> packModelRecord(DWORD modelID, const char* modelName) {
    std::vector<BYTE> out(kModelRecordSize);
    putWordAt(out, 0, modelID);
    putTextAt(out, 4, modelName, kModelRecordSize - 4);
    return out;
}

}  // namespace bvsim
