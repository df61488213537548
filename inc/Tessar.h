#pragma once

// Every public header of the library.
#include "TessarExport.h"
#include "TessarTypes.h"
#include "TessarPlatform.h"
#include "SSM_Assert.h"
#include "SSM.h"
#include "SYS_StrPattern.h"
