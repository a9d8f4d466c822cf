// Declarations shared by the files of the Still Image stand-in (Sti.dll).
// The interfaces are used in their C layout: each object is a struct whose
// first member is its interface, found again with impl_from_...().
#pragma once

#ifndef CINTERFACE
#define CINTERFACE
#endif
#ifndef STI_UNICODE
#define STI_UNICODE 1
#endif
#include <windows.h>
#include <sti.h>
#undef StiCreateInstance

#include "../camera/bvsim.h"

namespace fakesti {

// Asked first by every method: waits as the step's delay says, records the
// step and tells whether it fails; then *result is the HRESULT to return
// and *vendor the vendor error the device keeps.
bool stepFails(const char* step, HRESULT* result, DWORD* vendor);

// Creates a device object for the named device; the out-pointer is null
// on failure.
HRESULT FakeStiDevice_Constructor(const WCHAR* name, IStiDevice** device);

// Creates the service object; the out-pointer is null on failure.
HRESULT FakeStillImage_Constructor(IStillImageW** instance);

// Records a method that the library never calls and refuses it.
HRESULT notImplemented(const char* method);

}  // namespace fakesti
