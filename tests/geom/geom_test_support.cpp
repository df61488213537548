#include "geom_test_support.h"

namespace {
std::vector<GeomReport>& Store() {
    static std::vector<GeomReport> reports;
    return reports;
}
}  // namespace

GeomReports::GeomReports() : m_manager(new SSM), m_hook(&GeomReports::Record) {
    Store().clear();
    AddHook(m_manager->ReportEvent, m_hook);
}

GeomReports::~GeomReports() {
    Detach(m_hook);
    m_manager.reset();
    Store().clear();
}

int GeomReports::Record(int type, int* data) {
    EXPECT_EQ(SSM_FailureAssert, type);
    SSM::AssertObj record;
    record.SetHandle(SCC_Notifier::DataAsValue(data), nullptr);
    if (!record.IsValid()) return 0;
    Store().push_back({static_cast<const char*>(record.GetMsg()),
                       static_cast<const char*>(record.GetFileName())});
    return 0;
}

const std::vector<GeomReport>& GeomReports::Get() const { return Store(); }
void GeomReports::Clear() { Store().clear(); }

size_t GeomReports::Count(const char* message, const char* unit) const {
    size_t n = 0;
    for (const GeomReport& r : Store()) n += r.message == message && r.unit == unit;
    return n;
}
