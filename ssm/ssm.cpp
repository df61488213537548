#include "SSM.h"

SSM* SSM::Instance = nullptr;
long SSM::InstanceCount = 0;

// TODO: replaced by the full manager; no SSM can be constructed yet, so these are unreachable.
int SSM::AssertFailed(const char*, const char*, int, SSM_FailureType, int) { return FALSE; }

void SSM::Throw() {}
