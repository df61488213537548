// A module that uses the library the way a host does: loading it loads the library, and
// unloading it unloads the library when nothing else holds it.
#include "SFM.h"
#include "SFM_TR.h"

// Looks a text up (the text-lookup caches come into being) and asks for the file manager (it
// comes into being too). Answers 1 when both answered.
extern "C" __attribute__((visibility("default"))) int TessarLifetimeUse() {
    const SYS_String text = TR(45103);
    return !text.IsEmpty() && SFM::GetManager() != nullptr ? 1 : 0;
}
