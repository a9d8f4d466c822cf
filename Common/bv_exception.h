// The library's exception family. Only the registry store throws, always a
// bvCDeviceException; the operations that guard registry access catch it
// and return its code. Constructing one prints the error report to the
// debugger output when reportSwitch is on and a file and line are given.
#pragma once

#include <windows.h>

namespace bv {

class bvCException {
public:
    bvCException(DWORD code, const char* file = nullptr, DWORD line = 0);

    DWORD code;
    const char* file;  // never null: the empty text when none was given
    DWORD line;
};

class bvCGenericException : public bvCException {
public:
    using bvCException::bvCException;
};

class bvCDeviceException : public bvCGenericException {
public:
    using bvCGenericException::bvCGenericException;
};

}  // namespace bv
