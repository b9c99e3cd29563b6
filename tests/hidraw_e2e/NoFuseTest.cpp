// Stands in for the end-to-end tests when the build found no libfuse3, so the gap shows as a skip.
#include <gtest/gtest.h>

TEST(HidrawEndToEndTest, NeedsLibfuse3)
{
    GTEST_SKIP() << "built without libfuse3: install fuse3 and libfuse3-dev and configure again";
}
