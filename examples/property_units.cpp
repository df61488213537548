// Shows a track width through a unit convertor and edits it through a validation string.
#include <iostream>

#include "property_units.h"

int main() {
    property_units::Run(std::cout);
    return 0;
}
