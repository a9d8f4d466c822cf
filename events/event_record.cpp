#include "event_record.h"

#include <algorithm>
#include <cstring>

namespace bv {

std::string buildObjectName(const char* prefix, const char* modelName, const char* portName) {
    std::string name = std::string(prefix) + modelName + portName;
    if (name.size() > kObjectNameSize - 1) name.resize(kObjectNameSize - 1);
    std::replace(name.begin(), name.end(), '\\', ' ');
    return name;
}

DWORD readWord(const BYTE* record, size_t offset) {
    DWORD value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

void writeWord(BYTE* record, size_t offset, DWORD value) { std::memcpy(record + offset, &value, sizeof value); }

EventCopy readEvent(const BYTE* record) {
    EventCopy event = {};
    event.code = readWord(record, kCodeOffset);
    event.size = readWord(record, kSizeOffset);
    std::memcpy(event.data, record + kDataOffset, std::min(event.size, kEventDataSize));
    return event;
}

}  // namespace bv
