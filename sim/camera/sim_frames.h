/* Resource numbers of the virtual camera's pictures (shared with frames.rc). */
#ifndef SIM_FRAMES_H
#define SIM_FRAMES_H

#define SIM_FRAME_FIRST 101
#define SIM_FRAME_COUNT 4
#define SIM_RELEASE_PICTURE 110

#ifdef __cplusplus
#include <windows.h>

#include <vector>

namespace bvsim {

// The next view-finder frame (the four frames in turn) and the picture a
// release takes: real baseline JPEGs kept as resources of bvsim.dll.
std::vector<BYTE> nextViewFinderFrame();
std::vector<BYTE> releasePicture();

}  // namespace bvsim
#endif

#endif
