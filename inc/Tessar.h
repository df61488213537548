#pragma once

// Every public header of the library.
#include "TessarExport.h"
#include "TessarTypes.h"
#include "TessarPlatform.h"
#include "SSM_Assert.h"
#include "SSM.h"
#include "SCC_Event.h"
#include "SCC_Notifier.h"
#include "SYS_Geom.h"
#include "SYS_Geom_Inline.h"
#include "SYS_LinConv.h"
#include "CString.h"
#include "SYS_String.h"
#include "SYS_StrEx.h"
#include "SYS_Exception.h"
#include "SYS_StrPattern.h"
