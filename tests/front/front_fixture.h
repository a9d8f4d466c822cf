// The exported table's fixture now lives with the other shared fixtures.
#pragma once

#include "tests/support/camera_world.h"
