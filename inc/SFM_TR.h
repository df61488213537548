#pragma once

#include "SYS_String.h"
#include "TessarExport.h"

/// @file
/// Text lookup. TR(int) turns a string number into its text from the string tables of the
/// running application and of its extension modules, this library among them; TR(const char*)
/// passes a literal text through. Both remember every text they give out for the life of the
/// library, so a second lookup of the same key never searches the tables again and always
/// answers the same text (copies share one buffer).
///
/// String tables. A host makes its texts available through the registry in PLT_StringTable.h:
///     PLT_SetApplicationStrings(entries, count);            // the application's own table
///     PLT_RegisterModuleStrings("MyModule", entries, count); // one per extension module
/// The application's table is searched first, then the module tables in the order they were
/// registered; this library registers its own table when it is loaded. A table holds the
/// numbers and texts as PLT_StringEntry records that must outlive the registration. Register
/// tables before the first TR of their numbers: a number is looked up once, and a number not
/// found then stays the empty text even if a table holding it is registered later.
///
/// The caches are created on first use and destroyed when the library is unloaded. No thread
/// safety: like the rest of the library, TR is called from one thread.

/// The text of string number `id`: from the first table that holds it, as loaded into a buffer
/// of 1000 characters (longer texts are cut to 999 bytes); the empty text when none holds it.
TESSAR_EXPORT SYS_String TR(int id);

/// A text equal to `text` (a null text gives the empty one).
TESSAR_EXPORT SYS_String TR(const char* text);

/// Destroys both caches (if they exist); a later TR creates them again. Called by the library's
/// unload; not exported.
void SFM_DestroyTextCaches();
