// Demo step: how a broken precondition is reported when no assertion manager exists.
#include "SSM.h"
#include "tessar_cli.h"

namespace {

void ShowChecks(std::ostream& out) {
    out << "Every class reports a broken precondition through SSM_AssertFailed.\n";
    out << "Assertion manager present: " << (SSM::GetManager() != nullptr ? "yes" : "no") << "\n";
    bool held = SSM_CHECK(2 + 2 == 5, "demo: arithmetic is broken", "tools/demo", SSM_FailureAssert);
    out << "A failed check without a manager answers 'break'; with no debugger attached\n"
           "the program goes on. The check reported: "
        << (held ? "condition held" : "condition failed") << "\n";
}

const TessarDemoRegistrar kStep({10, "Checks and the assertion entry point", ShowChecks});

}  // namespace
