#pragma once
// Lifetime of the process-wide unit table of SYS_Convert, for the library's state object.

// Creates the (not yet filled) table unless it exists; the first SYS_Convert fills it.
void SYS_CreateUnitTable();
// Destroys the table and releases its names; a later SYS_Convert builds and fills it again.
void SYS_DestroyUnitTable();
