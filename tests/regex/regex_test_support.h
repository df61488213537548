#pragma once

#include "tessar_breaks.h"

// Helpers shared by the pattern tests.
#include "TessarPlatform.h"

using BreakCounter = ScopedBreakCounter;
