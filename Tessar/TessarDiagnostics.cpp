#include "SYS_TestRepeater.h"

SYS_TestFncID::SYS_TestFncID() : Name(nullptr), ID(0) {}

SYS_TestFncID::SYS_TestFncID(const char* name, long id) : Name(name), ID(id) {}

SYS_TestRec::SYS_TestRec() : Count(0) {}

void SYS_TestRepeater::Start() {}

void SYS_TestRepeater::Stop() {}

int SYS_TestRepeater::Record(const SYS_TestRec& /*record*/) { return 0; }
