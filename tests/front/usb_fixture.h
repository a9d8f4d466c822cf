// The USB road's fixture and the names of the installed models and the
// virtual camera, for the suites that use them under usbtest.
#pragma once

#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

namespace usbtest {
using namespace bvtest;
}  // namespace usbtest
