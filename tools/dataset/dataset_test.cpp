#include <gtest/gtest.h>
TEST(DataSetPlaceholder, Builds) {}
