// The entry libFuzzer calls, and a check that stops the run as a crash.
#pragma once
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#define FUZZ_TARGET extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
inline void check(bool ok) { if (!ok) __builtin_trap(); }
