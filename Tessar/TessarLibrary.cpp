// The library's state across load and unload of the shared object.
//
// One object, constructed when the shared object is loaded and destroyed when it is unloaded,
// registers the library's string table and creates the process-wide objects in this order,
// destroying them in the reverse order: the palette-change notifier, the registry of fresh
// shared objects, the unit table, the directory separators. The text-lookup caches and the
// file manager are created on first use and destroyed at unload, before the unit table.
#include "PLT_StringTable.h"
#include "SCC_SharedBuffer.h"
#include "SFM_TR.h"
#include "Tessar/TessarStrings.h"

namespace {

class TessarLibraryState {
public:
    TessarLibraryState() {
        PLT_RegisterModuleStrings(kTessarModuleName, kTessarStrings, kTessarStringCount);
        SCC_CreateSharedRegistry();
    }
    ~TessarLibraryState() {
        SFM_DestroyTextCaches();
        SCC_DestroySharedRegistry();
        PLT_UnregisterModuleStrings(kTessarModuleName);
    }
    TessarLibraryState(const TessarLibraryState&) = delete;
    TessarLibraryState& operator=(const TessarLibraryState&) = delete;
};

TessarLibraryState s_libraryState;

}  // namespace
