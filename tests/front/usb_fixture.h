// The USB road's fixture now lives with the other shared fixtures; the
// names stay reachable through usbtest.
#pragma once

#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

namespace usbtest {
using namespace bvtest;
}  // namespace usbtest
