#include "object_security.h"

#include <aclapi.h>

#include <cstdio>

#include "library_search.h"
#include "observable_texts.h"

namespace bv {
namespace {

constexpr DWORD kAllAccess = 0x1FFFFF;
constexpr DWORD kDescriptorSize = SECURITY_DESCRIPTOR_MIN_LENGTH;  // 20 bytes on 32-bit Windows

using SetEntriesInAclFn = DWORD(WINAPI*)(ULONG, PEXPLICIT_ACCESS_A, PACL, PACL*);

// SetEntriesInAclA is looked up at run time: AdvAPI32.dll is loaded from the
// system folder for the call and unloaded again. Returns the call's result,
// or ERROR_PROC_NOT_FOUND when the library or the function is missing; the
// thread's last error then tells why.
DWORD setEntriesInAcl(EXPLICIT_ACCESS_A* entries, ULONG count, PACL* acl) {
    OwnedModule advapi(loadSystemLibrary(L"AdvAPI32.dll"));
    if (!advapi) return ERROR_PROC_NOT_FOUND;
    auto fn = reinterpret_cast<SetEntriesInAclFn>(
        reinterpret_cast<void*>(GetProcAddress(advapi.get(), "SetEntriesInAclA")));
    if (!fn) return ERROR_PROC_NOT_FOUND;
    return fn(count, entries, nullptr, acl);
}

void describeEntry(EXPLICIT_ACCESS_A* entry, PSID sid, TRUSTEE_TYPE type) {
    entry->grfAccessPermissions = kAllAccess;
    entry->grfAccessMode = SET_ACCESS;
    entry->grfInheritance = NO_INHERITANCE;
    entry->Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry->Trustee.TrusteeType = type;
    entry->Trustee.ptstrName = static_cast<LPSTR>(sid);
}

BOOL fail(SecurityContext* context, const char* format, DWORD error) {
    std::printf(format, static_cast<unsigned>(error));
    context->release();
    return FALSE;
}

}  // namespace

BOOL BuildSharedObjectSecurity(SecurityContext* context, SECURITY_ATTRIBUTES* attributes) {
    context->release();
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, context->everyone.put()))
        return fail(context, kTextSidFailed, GetLastError());

    EXPLICIT_ACCESS_A entries[2] = {};
    describeEntry(&entries[0], context->everyone.get(), TRUSTEE_IS_WELL_KNOWN_GROUP);

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  context->administrators.put()))
        return fail(context, kTextSidFailed, GetLastError());
    describeEntry(&entries[1], context->administrators.get(), TRUSTEE_IS_GROUP);

    PACL acl = nullptr;
    DWORD rc = setEntriesInAcl(entries, 2, &acl);
    context->accessList.reset(acl);
    if (rc != ERROR_SUCCESS) return fail(context, kTextAclFailed, GetLastError());

    context->descriptor.reset(LocalAlloc(LPTR, kDescriptorSize));
    if (!context->descriptor) return fail(context, kTextDescriptorAllocFailed, GetLastError());
    auto descriptor = static_cast<PSECURITY_DESCRIPTOR>(context->descriptor.get());
    if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION))
        return fail(context, kTextDescriptorInitFailed, GetLastError());
    if (!SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE))
        return fail(context, kTextDaclFailed, GetLastError());

    attributes->nLength = sizeof(SECURITY_ATTRIBUTES);
    attributes->lpSecurityDescriptor = descriptor;
    attributes->bInheritHandle = FALSE;
    return TRUE;
}

}  // namespace bv
