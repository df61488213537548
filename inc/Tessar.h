#pragma once

// Every public header of the library.
#include "TessarExport.h"
#include "TessarTypes.h"
#include "TessarPlatform.h"
#include "SSM_Assert.h"
#include "SSM.h"
#include "SCC_Event.h"
#include "SCC_Notifier.h"
#include "SCC_SharedBuffer.h"
#include "SCC_Iterator.h"
#include "SCC_Array.h"
#include "SCC_List.h"
#include "SCC_RefDList.h"
#include "SCC_SafeDList.h"
#include "SCC_Stack.h"
