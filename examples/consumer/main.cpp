// A minimal host of the installed library.
#include <cstdio>

#include "Tessar.h"

int main() {
    int answer = SSM_AssertFailed("consumer: no manager yet", "consumer/main", __LINE__,
                                  SSM_FailureAssert, 0);
    std::printf("report answered %s\n", answer ? "continue" : "break");
    return answer == FALSE ? 0 : 1;
}
