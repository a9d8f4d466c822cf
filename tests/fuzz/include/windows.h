// Stands in for the system header under the public header in the native
// fuzzing build: the Win32 types only.
#pragma once
#include "../../../Common/win_types.h"
