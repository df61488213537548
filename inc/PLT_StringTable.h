#pragma once

#include <cstddef>

#include "TessarExport.h"

/// @file
/// The string tables of the running application and of its extension modules, which text
/// lookup (TR) searches by string number. The application's table is searched first, then the
/// module tables in the order they were registered; this library registers its own table when
/// it is loaded. A table is consulted for a number only when it holds some string of the same
/// block of 16 numbers, as string-table resources are organised.

/// One string of a table: its number and its text.
struct PLT_StringEntry {
    /// The string number.
    int id;
    const char* text;  ///< must outlive the registration
};

/// Sets (or, with null, removes) the application's table. The entries are copied by reference:
/// the array itself must outlive the registration.
TESSAR_EXPORT void PLT_SetApplicationStrings(const PLT_StringEntry* entries, size_t count);

/// Appends a module's table to the search order; a module registered again under the same name
/// replaces its earlier table in place. Returns FALSE for a null or empty name.
TESSAR_EXPORT int PLT_RegisterModuleStrings(const char* module, const PLT_StringEntry* entries,
                                            size_t count);

/// Removes a module's table; FALSE when no module of that name is registered.
TESSAR_EXPORT int PLT_UnregisterModuleStrings(const char* module);

/// Copies string `id` into buffer (at most size - 1 bytes, always terminated when size > 0)
/// from the first table, in search order, that holds it. Returns the number of bytes copied,
/// or 0 when no table holds the string.
TESSAR_EXPORT int PLT_LoadString(int id, char* buffer, int size);
