// Prints the road of a few board changes through a filtered, sorted collection to a view.
#include <iostream>

#include "collection_road.h"

int main() {
    collection_road::Run(std::cout);
    return 0;
}
