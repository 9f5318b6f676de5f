#include <gtest/gtest.h>

TEST(PickerSources, Placeholder) {}
