#include "containers.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// A capability list longer than this is no application's honest request.
constexpr TW_UINT32 kMostItems = 4096;

void storeItem(TW_UINT8* at, TW_UINT16 type, TW_UINT32 item) { std::memcpy(at, &item, itemSize(type)); }

TW_UINT32 loadItem(const TW_UINT8* at, TW_UINT16 type) {
    TW_UINT32 item = 0;
    std::memcpy(&item, at, itemSize(type));
    return item;
}

TW_HANDLE buildList(const TwainMemory& memory, size_t header, TW_UINT16 type, const std::vector<TW_UINT32>& items,
                    TW_UINT8** list) {
    const TW_HANDLE handle = memory.allocate(static_cast<TW_UINT32>(header + items.size() * itemSize(type) + 1));
    if (!handle) return nullptr;
    auto* base = static_cast<TW_UINT8*>(memory.lock(handle));
    *list = base + header;
    for (size_t i = 0; i < items.size(); ++i) storeItem(*list + i * itemSize(type), type, items[i]);
    return handle;
}

// The bytes a version 1 application's block holds; a manager's handle
// cannot be measured, so its containers are trusted up to the item cap.
SIZE_T blockSize(const TwainMemory& memory, TW_HANDLE handle) {
    return memory.fromManager() ? ~static_cast<SIZE_T>(0) : GlobalSize(handle);
}

}  // namespace

TW_UINT32 itemSize(TW_UINT16 type) {
    switch (type) {
    case TWTY_INT8: case TWTY_UINT8: return 1;
    case TWTY_INT16: case TWTY_UINT16: case TWTY_BOOL: return 2;
    case TWTY_INT32: case TWTY_UINT32: case TWTY_FIX32: return 4;
    case TWTY_STR32: return sizeof(TW_STR32);
    case TWTY_STR255: return sizeof(TW_STR255);
    default: return 0;
    }
}

TW_HANDLE buildOneValue(const TwainMemory& memory, TW_UINT16 type, TW_UINT32 item) {
    const TW_HANDLE handle = memory.allocate(sizeof(TW_ONEVALUE));
    if (!handle) return nullptr;
    LockedBlock block(memory, handle);
    block.as<TW_ONEVALUE>()->ItemType = type;
    storeItem(reinterpret_cast<TW_UINT8*>(&block.as<TW_ONEVALUE>()->Item), type, item);
    return handle;
}

TW_HANDLE buildOneText(const TwainMemory& memory, TW_UINT16 type, const std::string& text) {
    const TW_UINT32 room = itemSize(type);
    const TW_HANDLE handle = memory.allocate(offsetof(TW_ONEVALUE, Item) + room);
    if (!handle) return nullptr;
    LockedBlock block(memory, handle);
    block.as<TW_ONEVALUE>()->ItemType = type;
    lstrcpynA(reinterpret_cast<char*>(&block.as<TW_ONEVALUE>()->Item), text.c_str(), static_cast<int>(room));
    return handle;
}

TW_HANDLE buildEnumeration(const TwainMemory& memory, TW_UINT16 type, const std::vector<TW_UINT32>& items,
                           TW_UINT32 current, TW_UINT32 deflt) {
    TW_UINT8* list = nullptr;
    const TW_HANDLE handle = buildList(memory, offsetof(TW_ENUMERATION, ItemList), type, items, &list);
    if (!handle) return nullptr;
    auto* e = reinterpret_cast<TW_ENUMERATION*>(list - offsetof(TW_ENUMERATION, ItemList));
    e->ItemType = type;
    e->NumItems = static_cast<TW_UINT32>(items.size());
    for (TW_UINT32 i = 0; i < items.size(); ++i) {
        if (items[i] == current) e->CurrentIndex = i;
        if (items[i] == deflt) e->DefaultIndex = i;
    }
    memory.unlock(handle);
    return handle;
}

TW_HANDLE buildArray(const TwainMemory& memory, TW_UINT16 type, const std::vector<TW_UINT32>& items) {
    TW_UINT8* list = nullptr;
    const TW_HANDLE handle = buildList(memory, offsetof(TW_ARRAY, ItemList), type, items, &list);
    if (!handle) return nullptr;
    auto* a = reinterpret_cast<TW_ARRAY*>(list - offsetof(TW_ARRAY, ItemList));
    a->ItemType = type;
    a->NumItems = static_cast<TW_UINT32>(items.size());
    memory.unlock(handle);
    return handle;
}

bool readOneValue(const TwainMemory& memory, const TW_CAPABILITY& cap, TW_UINT16 type, TW_UINT32* item) {
    if (cap.ConType != TWON_ONEVALUE || !cap.hContainer || blockSize(memory, cap.hContainer) < sizeof(TW_ONEVALUE))
        return false;
    LockedBlock block(memory, cap.hContainer);
    const auto* one = block.as<TW_ONEVALUE>();
    if (!one || one->ItemType != type || itemSize(type) > sizeof one->Item) return false;
    *item = loadItem(reinterpret_cast<const TW_UINT8*>(&one->Item), type);
    return true;
}

bool readOneText(const TwainMemory& memory, const TW_CAPABILITY& cap, TW_UINT16 type, std::string* text) {
    const TW_UINT32 room = itemSize(type);
    if (cap.ConType != TWON_ONEVALUE || !cap.hContainer ||
        blockSize(memory, cap.hContainer) < offsetof(TW_ONEVALUE, Item) + room)
        return false;
    LockedBlock block(memory, cap.hContainer);
    const auto* one = block.as<TW_ONEVALUE>();
    if (!one || one->ItemType != type) return false;
    const char* chars = reinterpret_cast<const char*>(&one->Item);
    text->assign(chars, strnlen(chars, room));
    return true;
}

bool readArray(const TwainMemory& memory, const TW_CAPABILITY& cap, TW_UINT16 type, std::vector<TW_UINT32>* items) {
    if (cap.ConType != TWON_ARRAY || !cap.hContainer || itemSize(type) == 0) return false;
    const SIZE_T size = blockSize(memory, cap.hContainer);
    if (size < offsetof(TW_ARRAY, ItemList)) return false;
    LockedBlock block(memory, cap.hContainer);
    const auto* a = block.as<TW_ARRAY>();
    if (!a || a->ItemType != type || a->NumItems > kMostItems ||
        size < offsetof(TW_ARRAY, ItemList) + SIZE_T{a->NumItems} * itemSize(type))
        return false;
    items->clear();
    for (TW_UINT32 i = 0; i < a->NumItems; ++i) items->push_back(loadItem(a->ItemList + i * itemSize(type), type));
    return true;
}

TW_UINT32 fix32Item(double value) {
    const long scaled = std::lround(value * 65536.0);
    TW_FIX32 fix = {static_cast<TW_INT16>(scaled >> 16), static_cast<TW_UINT16>(scaled & 0xffff)};
    TW_UINT32 item = 0;
    std::memcpy(&item, &fix, sizeof fix);
    return item;
}

double fix32Value(TW_UINT32 item) {
    TW_FIX32 fix;
    std::memcpy(&fix, &item, sizeof fix);
    return fix.Whole + fix.Frac / 65536.0;
}
