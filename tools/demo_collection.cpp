// Demo step: the road of an event from a data source through a collection to a view.
#include <ostream>

#include "../examples/collection_road.h"
#include "tessar_cli.h"

namespace {

const TessarDemoRegistrar kStep({40, "Collections: the source notifies, the collection filters, "
                                     "sorts and announces, a view prints",
                                 &collection_road::Run});

}  // namespace
