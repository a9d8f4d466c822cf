// The sizes that callers, the registry and the serial library rely on:
// the port descriptor is stored whole in the registry and handed to the
// serial library, the stream record and the table are shared with
// applications built for 32-bit Windows. Checked when the tests compile.
#include "bvcl2sti.h"

static_assert(sizeof(bvlCameraPort) == 114, "the port descriptor is 114 packed bytes");
static_assert(sizeof(bvlModelDescrip) == 68, "model description");
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(bvlStream) == 36, "stream record");
static_assert(sizeof(bvlBaseAPI) == 4 + 27 * 4, "version word and 27 slots");
#endif
