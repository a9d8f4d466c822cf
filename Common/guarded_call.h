// No C++ exception may leave an exported function: applications call this
// library from C. runGuarded turns whatever escapes into a code.
#pragma once

#include <windows.h>
#include <new>

#include "bv_exception.h"
#include "bvcl2sti.h"

namespace bv {

template <class Body>
DWORD runGuarded(Body body) noexcept {
    try {
        return body();
    } catch (const bvCException& e) {
        return e.code;  // the registry store's code, as raised
    } catch (const std::bad_alloc&) {
        return BVL_E_MEM_ALLOC_FAILED;
    } catch (...) {
        return BVL_E_UNEXPECTED_EXCEPTION;
    }
}

}  // namespace bv
