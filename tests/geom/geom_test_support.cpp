#include "geom_test_support.h"

namespace {
std::vector<GeomReport>& Store() {
    static std::vector<GeomReport> reports;
    return reports;
}
}  // namespace

// Replaces the library's SSM_CheckFailed for this executable (see the header).
void SSM_CheckFailed(const char* message, const char* unit, int, SSM_FailureType type, int) {
    EXPECT_EQ(SSM_FailureAssert, type) << message;
    Store().push_back({message ? message : "", unit ? unit : ""});
}

GeomReports::GeomReports() { Store().clear(); }
GeomReports::~GeomReports() { Store().clear(); }
const std::vector<GeomReport>& GeomReports::Get() const { return Store(); }
void GeomReports::Clear() { Store().clear(); }

size_t GeomReports::Count(const char* message, const char* unit) const {
    size_t n = 0;
    for (const GeomReport& r : Store()) n += r.message == message && r.unit == unit;
    return n;
}
