#pragma once

// Services of the operating system that the library reaches through one small layer: the
// debugger break and the errno guard (PLT_Debug.h, used by every check). The base string, the
// string tables and the multibyte helpers of the platform layer have headers of their own.
#include "PLT_Debug.h"
