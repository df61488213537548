// tessar ring: builds rings of geometry-tree links and applies walks and edits to them.
#include <cstdio>
#include <string>

#include "tessar_cli.h"
#include "tessar_ring.h"

namespace {

const char kUsage[] =
    "usage: tessar ring RINGS [OPERATION...]\n"
    "\n"
    "Links geometry-tree nodes into rings and applies each OPERATION in turn, printing one\n"
    "line per operation; without operations it prints the rings as read.\n"
    "\n"
    "RINGS    nodes NAME:TYPE in ring order, rings separated by '/', e.g. \"a:4 b:1 c:7 / x:6 y:2\";\n"
    "         a NAME is one letter used once, a TYPE a number from -32768 to 32767.\n"
    "         Types 1, 2 and 6 are geometry links, 4 the database root, 7 the BRT root;\n"
    "         type 6 also stops the search for a predecessor (prev, exclude).\n"
    "OPERATION  NODE.WORD or NODE.WORD=ARG. Walks start after NODE and end before it:\n"
    "  root  geom  db  brt      the next node; the first geometry, type 4, type 7 node\n"
    "  type=T                   the first node of type T\n"
    "  next=X  prev=X           X's next unless it is NODE; the node before NODE, from X's next\n"
    "  valid  isgeom            type is not 0; type is 1, 2 or 6\n"
    "  include=X                links X right after NODE\n"
    "  exclude=X                takes X out of its ring (unless a type 6 node bars the way)\n"
    "  own  near=T  bytype=T    removes the next node; the next nodes of type T; all of type T\n"
    "Removed nodes keep pointing into their ring; the result then shows every node's link.\n"
    "\n"
    "Exit status: 0 on success, 2 when RINGS or an OPERATION is not valid.\n";

int RunRing(int argc, char** argv) {
    if (TessarWantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 2) {
        std::fputs("tessar ring: no RINGS given (see tessar ring --help)\n", stderr);
        return 2;
    }
    TessarRings rings;
    std::string error;
    if (!rings.Parse(argv[1], error)) {
        std::fprintf(stderr, "tessar ring: %s\n", error.c_str());
        return 2;
    }
    if (argc == 2) std::printf("%s\n", rings.Rings().c_str());
    for (int i = 2; i < argc; ++i) {
        std::string result;
        if (!rings.Apply(argv[i], result, error)) {
            std::fprintf(stderr, "tessar ring: %s\n", error.c_str());
            return 2;
        }
        std::printf("%s\n", result.c_str());
    }
    return 0;
}

const TessarCommandRegistrar kRing({"ring", "walk and edit rings of geometry-tree links", kUsage,
                                    RunRing});

}  // namespace
