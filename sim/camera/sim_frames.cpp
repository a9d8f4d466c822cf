#include "sim_frames.h"

#include <atomic>

namespace bvsim {
namespace {

HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

// The bytes of an RCDATA resource; empty when it is missing.
std::vector<BYTE> resourceBytes(int id) {
    HMODULE module = thisModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

}  // namespace

std::vector<BYTE> nextViewFinderFrame() {
    static std::atomic<unsigned> shown{0};
    return resourceBytes(SIM_FRAME_FIRST + static_cast<int>(shown++ % SIM_FRAME_COUNT));
}

std::vector<BYTE> releasePicture() { return resourceBytes(SIM_RELEASE_PICTURE); }

}  // namespace bvsim
