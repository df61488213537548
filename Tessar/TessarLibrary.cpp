// The library's state across load and unload of the shared object.
//
// One object, constructed when the shared object is loaded and destroyed when it is unloaded,
// creates the process-wide objects in this order and destroys them in the reverse order: the
// palette-change notifier, the registry of fresh shared objects, the unit table, the directory
// separators. The text-lookup caches and the file manager are created on first use and
// destroyed at unload, before the unit table.
#include "scc/SCC_SharedRegistry.h"

namespace {

class TessarLibraryState {
public:
    TessarLibraryState() { SCC_CreateSharedRegistry(); }
    ~TessarLibraryState() { SCC_DestroySharedRegistry(); }
};

TessarLibraryState s_libraryState;

}  // namespace
