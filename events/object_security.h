// Security of the objects shared with the camera's driver: full access for
// Everyone and for the Administrators group, so that a driver running in
// another account can open them.
#pragma once

#include <windows.h>

#include "owned.h"

namespace bv {

// What one object's security attributes point into; it must outlive the
// object's creation and is kept for the life of the library.
struct SecurityContext {
    OwnedSid everyone;
    OwnedSid administrators;
    OwnedLocal accessList;
    OwnedLocal descriptor;

    void release() {
        descriptor.reset();
        accessList.reset();
        administrators.reset();
        everyone.reset();
    }
};

// Fills context and attributes (length 12, the descriptor, not
// inheritable). Returns 1, or 0 after printing the failing step with the
// system error and releasing what it had built; the caller then creates the
// object with default security. A context built before is released first.
BOOL BuildSharedObjectSecurity(SecurityContext* context, SECURITY_ATTRIBUTES* attributes);

}  // namespace bv
