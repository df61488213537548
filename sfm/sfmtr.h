#pragma once
// Lifetime of the two text-lookup caches, for the library's state object.

// Destroys both caches (if they exist); a later TR creates them again.
void SFM_DestroyTextCaches();
