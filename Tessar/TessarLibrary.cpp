// The library's state across load and unload of the shared object.
//
// Load registers the library's string table, then creates the process-wide objects in this
// order: the palette-change notifier, the registry of fresh shared objects, the unit table,
// the directory separators. The text-lookup caches and the file manager come into being on
// first use. Unload destroys everything in the reverse order of construction: the separators,
// the file manager, the text-lookup caches, the unit table, the registry, the notifier; then it
// unregisters the string table.
//
// Objects defined in one translation unit are constructed in the order of their definitions
// and destroyed in the reverse order, so the order is written here once, in this file: the
// notifier is defined first, the state object second, the separators last. Each step is
// reported to a watching program through PLT_TraceLifetime. The entry reaches every object
// through its family's public header.
#include "PLT_Debug.h"
#include "PLT_StringTable.h"
#include "SCC_SharedBuffer.h"
#include "SFM.h"
#include "SFM_FilePath.h"
#include "SFM_TR.h"
#include "SYS_Convert.h"
#include "Tessar/TessarStrings.h"
#include "UI_PaletteColorConvertor.h"

namespace {

// Reports the object defined just before it as created, and as about to go when it goes.
class LifetimeMark {
public:
    LifetimeMark(const char* created, const char* destroyed) : m_destroyed(destroyed) {
        PLT_TraceLifetime(created);
    }
    ~LifetimeMark() { PLT_TraceLifetime(m_destroyed); }
    LifetimeMark(const LifetimeMark&) = delete;
    LifetimeMark& operator=(const LifetimeMark&) = delete;

private:
    const char* m_destroyed;
};

}  // namespace

SCC_Notifier UI_PaletteColorConvertor::s_Notifier;

namespace {

const LifetimeMark s_notifierMark("+palette notifier", "-palette notifier");

class TessarLibraryState {
public:
    TessarLibraryState() {
        PLT_RegisterModuleStrings(kTessarModuleName, kTessarStrings, kTessarStringCount);
        SCC_CreateSharedRegistry();
        PLT_TraceLifetime("+fresh-object registry");
        SYS_CreateUnitTable();
        PLT_TraceLifetime("+unit table");
    }
    ~TessarLibraryState() {
        SFM_DestroyManager();
        SFM_DestroyTextCaches();
        PLT_TraceLifetime("-unit table");
        SYS_DestroyUnitTable();
        PLT_TraceLifetime("-fresh-object registry");
        SCC_DestroySharedRegistry();
        PLT_UnregisterModuleStrings(kTessarModuleName);
    }
    TessarLibraryState(const TessarLibraryState&) = delete;
    TessarLibraryState& operator=(const TessarLibraryState&) = delete;
};

TessarLibraryState s_libraryState;

}  // namespace

const SYS_String SFM_FilePath::DirectorySeparators("\\/");

namespace {

const LifetimeMark s_separatorsMark("+directory separators", "-directory separators");

}  // namespace
