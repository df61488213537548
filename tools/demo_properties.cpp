// Demo step: a property shown through a unit convertor and edited through a validation string.
#include <ostream>

#include "../examples/property_units.h"
#include "tessar_cli.h"

namespace {

const TessarDemoRegistrar kStep({45, "Properties: a width in base units shown in millimetres, "
                                     "validated, written to every focused track",
                                 &property_units::Run});

}  // namespace
