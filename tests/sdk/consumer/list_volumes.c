/* A consumer of the installed SDK: opens the simulated USB camera through
 * the exported functions of bvcl2sti.dll, prints its volumes and checks
 * that the exported table holds the same functions. Built by mingw through
 * find_package(Bvcl2sti), and by clang for the MSVC target against
 * bvcl2sti.lib; it uses no C run-time library, only Windows and the
 * library's header, so the second build needs none. */
#include <windows.h>

#include "bvcl2sti.h"

_Static_assert(sizeof(bvlCameraPort) == 114, "bvlCameraPort must be 114 bytes");
_Static_assert(sizeof(bvlStream) == 36, "bvlStream must be 36 bytes");

#define BRIVANT_350 0x70333036u

/* Globals start zeroed, so no record needs a run-time memset. */
static BYTE listing[4096];
static DWORD listed;
static bvlCameraPort port;
static bvlStream stream;

static void print(const char *text) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, NULL);
}

static int fail(const char *what, DWORD code) {
    char line[128];
    wsprintfA(line, "list_volumes: %s failed: 0x%08lx\r\n", what, (unsigned long)code);
    print(line);
    return 1;
}

static void WINAPI keep(UINT_PTR context, const BYTE *buffer, DWORD *count, DWORD *error) {
    DWORD i;
    (void)context;
    *error = 0;
    if (*count > sizeof listing - listed) *count = sizeof listing - listed;
    for (i = 0; i < *count; ++i) listing[listed + i] = buffer[i];
    listed += *count;
}

static DWORD word(DWORD offset) {
    return listing[offset] | listing[offset + 1] << 8 | listing[offset + 2] << 16 | (DWORD)listing[offset + 3] << 24;
}

/* The listing: a count, then per volume three words and a NUL-terminated
 * name. */
static int printVolumes(void) {
    DWORD count = word(0), offset = 4, i;
    char line[160];
    for (i = 0; i < count && offset + 12 < listed; ++i) {
        const char *name = (const char *)listing + offset + 12;
        wsprintfA(line, "volume %.32s: %lu bytes, %lu free\r\n", name, (unsigned long)word(offset + 4),
                  (unsigned long)word(offset + 8));
        print(line);
        offset += 12 + lstrlenA(name) + 1;
    }
    wsprintfA(line, "%lu volumes\r\n", (unsigned long)i);
    print(line);
    return i == count && i > 0 ? 0 : 1;
}

static int run(void) {
    DWORD camera = 0, rc;
    int result;
    if (g_bvlBaseAPI.version != BVL_BASE_API_VERSION || g_bvlBaseAPI.baseGetVols != baseGetVols)
        return fail("reading g_bvlBaseAPI", g_bvlBaseAPI.version);
    port.portType = BVL_PORT_USB;
    lstrcpyA(port.portName, "USB");
    port.u.usb.modelID = BRIVANT_350;
    if ((rc = baseOpenCameraComm(&port, NULL, 0, &camera)) != 0) return fail("baseOpenCameraComm", rc);
    stream.progressMode = BVL_PROGRESS_NONE;
    stream.WriteCB = keep;
    rc = baseGetVols(camera, &stream);
    result = rc != 0 ? fail("baseGetVols", rc) : printVolumes();
    if ((rc = baseCloseCameraComm(camera)) != 0) return fail("baseCloseCameraComm", rc);
    return result;
}

#ifdef _MSC_VER
/* The MSVC build's entry point: there is no C run-time to call main. */
void listVolumesEntry(void) { ExitProcess((UINT)run()); }
#else
int main(void) { return run(); }
#endif
