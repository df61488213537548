// Demo step: a part threaded onto its roots with geometry-tree links.
#include <ostream>
#include <string>

#include "tessar_cli.h"
#include "tessar_ring.h"

namespace {

void ShowRings(std::ostream& out) {
    TessarRings rings;
    std::string error;
    // p is a part; d its database root, g a geometry link, k a barrier, t the BRT root.
    rings.Parse("p:0 d:4 g:1 k:6 t:7", error);
    out << "  ring: " << rings.Rings() << "\n";
    for (const char* operation : {"p.db", "p.geom", "p.brt", "p.prev=p", "d.prev=d", "p.exclude=g",
                                  "t.exclude=t", "p.bytype=6"}) {
        std::string result;
        rings.Apply(operation, result, error);
        out << "  " << result << "\n";
    }
}

const TessarDemoRegistrar kStep({55, "Geometry trees: walks and edits of ring links", ShowRings});

}  // namespace
