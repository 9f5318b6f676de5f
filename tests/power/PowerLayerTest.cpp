// The power trace layer in a real GL context.
#include "tests/power/PowerTestSupport.h"
#include "views/power/PowerLayer.h"
