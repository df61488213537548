#include "map_test_support.h"

namespace MapTest {

long Counted::s_live = 0;
long Counted::s_errors = 0;

}  // namespace MapTest
