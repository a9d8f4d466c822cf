// The library's one exception boundary. No C++ exception may leave a
// function that an application or Windows calls: the exported functions
// (applications call them from C), dialog and window procedures, hooks,
// thread procedures and thread-pool callbacks. Each of them runs its body
// through runGuarded (bodies that return a code) or runGuardedOr (bodies
// whose result is something else: a dialog procedure's "not handled", a
// window procedure's result, a thread's exit code). Nothing else in the
// library catches; the registry store's forms that fall back to a default
// catch its own failures inside the store.
#pragma once

#include <windows.h>
#include <new>

#include "bv_exception.h"
#include "bvcl2sti.h"

namespace bv {

// The code for the exception in flight; called only from a handler. The
// registry store's code as raised, BVL_E_MEM_ALLOC_FAILED for memory, and
// anything else is a fault of the library, not "no device".
inline DWORD codeOfCurrentException() noexcept {
    try {
        throw;
    } catch (const bvCException& e) {
        return e.code;
    } catch (const std::bad_alloc&) {
        return BVL_E_MEM_ALLOC_FAILED;
    } catch (...) {
        return BVL_E_UNEXPECTED_EXCEPTION;
    }
}

// Runs body; whatever escapes it becomes failed(code of the exception).
template <class Result, class Body, class Failed>
Result runGuardedWith(Body body, Failed failed) noexcept {
    try {
        return body();
    } catch (...) {
        return failed(codeOfCurrentException());
    }
}

// For bodies that return a code: an escaping exception becomes its code.
template <class Body>
DWORD runGuarded(Body body) noexcept {
    return runGuardedWith<DWORD>(body, [](DWORD code) { return code; });
}

// For bodies whose result is not a code: an escaping exception becomes
// fallback, since no exception may unwind through Windows.
template <class Result, class Body>
Result runGuardedOr(Result fallback, Body body) noexcept {
    return runGuardedWith<Result>(body, [fallback](DWORD) { return fallback; });
}

}  // namespace bv
