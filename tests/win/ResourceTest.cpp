// Placeholder, replaced by the full resource test.
#include <gtest/gtest.h>
