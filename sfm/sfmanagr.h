#pragma once
// Lifetime of the file manager, for the library's state object.

// Deletes the manager if it exists; GetManager() answers null from then on.
void SFM_DestroyManager();
