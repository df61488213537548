#pragma once

// The registry of fresh shared objects (see SCC_SharedBuffer). The library-state object creates
// it at load and destroys it at unload, in the order of the library's process-wide objects.
void SCC_CreateSharedRegistry();
void SCC_DestroySharedRegistry();
