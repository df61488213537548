// The library's state across load and unload of the shared object.
//
// One object, constructed when the shared object is loaded and destroyed when it is unloaded.
// At load it registers the library's string table, then creates the registry of fresh shared
// objects. At unload it destroys the text-lookup caches (created by the first TR), then the
// registry, then unregisters the string table. It reaches each of them through its family's
// public header.
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
