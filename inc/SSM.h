#pragma once

#include "SSM_Assert.h"

// The assertion manager: a process-wide single object that the host creates. While none
// exists, SSM::Instance is null and every report answers FALSE (the caller breaks).
//
// TODO: the manager's records, events, handlers and escalation come with the manager itself;
// until then no manager can be created, so the entry point always answers FALSE.
class TESSAR_EXPORT SSM {
public:
    static SSM* Instance;
    static long InstanceCount;

    static SSM* GetManager() { return Instance; }

    int AssertFailed(const char* message, const char* file, int line, SSM_FailureType type,
                     int id);
    void Throw();

private:
    SSM() = default;
};
