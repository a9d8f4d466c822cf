// The fixtures of the exported table, shared with the other suites that
// load the library.
#pragma once

#include "tests/support/camera_world.h"
