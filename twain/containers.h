// Capability containers: building the ones the source hands out and
// reading the ones an application hands in. Items are kept as 32-bit
// words whatever their TWAIN type (a TW_FIX32 as Whole in the low and
// Frac in the high half, as it lies in memory).
#pragma once

#include <string>
#include <vector>

#include "twain_memory.h"

// Bytes of one item of a type; 0 for a type containers here do not carry.
TW_UINT32 itemSize(TW_UINT16 type);

TW_HANDLE buildOneValue(const TwainMemory& memory, TW_UINT16 type, TW_UINT32 item);
TW_HANDLE buildOneText(const TwainMemory& memory, TW_UINT16 type, const std::string& text);
TW_HANDLE buildEnumeration(const TwainMemory& memory, TW_UINT16 type, const std::vector<TW_UINT32>& items,
                           TW_UINT32 current, TW_UINT32 deflt);
TW_HANDLE buildArray(const TwainMemory& memory, TW_UINT16 type, const std::vector<TW_UINT32>& items);

// An application's container, read within the bytes it can hold. False
// for a missing handle, another container type or an item type other
// than the one asked for.
bool readOneValue(const TwainMemory& memory, const TW_CAPABILITY& cap, TW_UINT16 type, TW_UINT32* item);
bool readOneText(const TwainMemory& memory, const TW_CAPABILITY& cap, TW_UINT16 type, std::string* text);
bool readArray(const TwainMemory& memory, const TW_CAPABILITY& cap, TW_UINT16 type, std::vector<TW_UINT32>* items);

TW_UINT32 fix32Item(double value);
double fix32Value(TW_UINT32 item);
