#include "device/DeviceNodeLegacyDriver.h"

#include "device/OsError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// A plain file stands in for the node: it opens and locks like one but answers no control code.
class LegacyDeviceNode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/zq1100-node-XXXXXX";
        const int fd = mkstemp(name);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(close(fd), 0);
        m_path = name;
    }
    void TearDown() override { (void)unlink(m_path.c_str()); }

    std::string m_path;
};

TEST_F(LegacyDeviceNode, MissingNodeReadsAsDriverNotInstalled)
{
    DeviceNodeLegacyDriver driver(m_path + ".absent");
    EXPECT_FALSE(driver.Open());
    EXPECT_FALSE(driver.IsOpen());
    EXPECT_EQ(driver.GetLastError(), kOsErrorNotConnected);

    uint8_t version = 7;
    EXPECT_FALSE(driver.QueryVersion(version));
    EXPECT_EQ(version, 0);
    EXPECT_EQ(driver.GetLastError(), MapOsError(EBADF));
    EXPECT_FALSE(driver.WriteByte(0x55));
    EXPECT_EQ(driver.GetLastError(), MapOsError(EBADF));
}

TEST_F(LegacyDeviceNode, OpenIsExclusiveUntilClosed)
{
    DeviceNodeLegacyDriver first(m_path);
    DeviceNodeLegacyDriver second(m_path);
    ASSERT_TRUE(first.Open());
    EXPECT_TRUE(first.IsOpen());
    EXPECT_FALSE(first.Open());
    EXPECT_EQ(first.GetLastError(), MapOsError(EBUSY));
    EXPECT_TRUE(first.IsOpen());

    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.GetLastError(), MapOsError(EBUSY));
    EXPECT_FALSE(second.IsOpen());

    first.Close();
    EXPECT_FALSE(first.IsOpen());
    EXPECT_TRUE(second.Open());
}

TEST_F(LegacyDeviceNode, RefusedControlCodesKeepTheirErrno)
{
    DeviceNodeLegacyDriver driver(m_path);
    ASSERT_TRUE(driver.Open());
    uint8_t version = 7;
    EXPECT_FALSE(driver.QueryVersion(version));
    EXPECT_EQ(version, 0);
    EXPECT_EQ(driver.GetLastError(), MapOsError(ENOTTY));
    EXPECT_FALSE(driver.WriteByte(0x55));
    EXPECT_EQ(driver.GetLastError(), MapOsError(ENOTTY));
    EXPECT_TRUE(driver.IsOpen());
}

} // namespace
