#pragma once
// The library's own string table, registered as a module table while the library is loaded.
#include <cstddef>

#include "PLT_StringTable.h"

extern const char kTessarModuleName[];
extern const PLT_StringEntry kTessarStrings[];
extern const size_t kTessarStringCount;
