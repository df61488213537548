// A minimal host of the installed library.
#include <cstdio>

#include "Tessar.h"

int main() {
    int answer = SSM_AssertFailed("consumer: no manager yet", "consumer/main", __LINE__,
                                  SSM_FailureAssert, 0);
    std::printf("report answered %s\n", answer ? "continue" : "break");

    SYS_String name("power_v2.sch");
    SYS_String copy(name);
    copy << " (" << 3 << " sheets)";
    bool matches = name.Match("*_v?.sch") == TRUE;
    std::printf("%s: matches *_v?.sch: %s; extension at %d; copy '%s'\n",
                static_cast<const char*>(name), matches ? "yes" : "no", name.ReverseFind('.'),
                static_cast<const char*>(copy));
    bool stringsWork = matches && name.ReverseFind('.') == 8 && name == "power_v2.sch";
    return answer == FALSE && stringsWork ? 0 : 1;
}
