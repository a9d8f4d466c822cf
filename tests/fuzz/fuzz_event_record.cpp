// The 68-byte record the driver writes, then a model and a port name split
// at the first NUL: the data copied out never holds more than the size the
// driver gave; object names fit their 128-byte buffer without backslashes.
#include "fuzz.h"
#include "events/event_record.h"

FUZZ_TARGET {
    if (size < bv::kEventRecordSize) return 0;
    const std::vector<BYTE> record(data, data + bv::kEventRecordSize);
    const bv::EventCopy event = bv::readEvent(record.data());
    for (DWORD i = event.size; i < bv::kEventDataSize; ++i) check(!event.data[i]);
    const char* names = reinterpret_cast<const char*>(data) + bv::kEventRecordSize;
    const std::string input(names, size - bv::kEventRecordSize);
    const std::string model = input.substr(0, input.find('\0'));
    const std::string port = input.substr(std::min(model.size() + 1, input.size()));
    const std::string name = bv::buildObjectName(bv::kDriverEventPrefix, model.c_str(), port.c_str());
    check(name.size() < bv::kObjectNameSize && name.find('\\') == std::string::npos);
    return 0;
}
