#include "device/HidrawBackend.h"
#include "TempFolder.h"
#include "device/HidDescriptors.h"
#include "device/OsError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

using HidrawDescriptors::CardReader;
using HidrawDescriptors::Typing;
const Bytes& VendorInterface = HidrawDescriptors::Vendor;

std::string Uevent(const std::string& hidId, const std::string& name)
{
    return "DRIVER=hid-generic\nHID_ID=" + hidId + "\nHID_NAME=" + name +
           "\nHID_PHYS=usb-0000:00:14.0-1/input1\nHID_UNIQ=\nMODALIAS=hid:b0003g0001v0000FA2Cp00001000\n";
}

class HidrawBackendTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        fs::create_directories(m_root / "sys/class/hidraw");
        fs::create_directories(m_root / "dev");
    }

    // The device folder is reached through a link, as in sysfs.
    void AddNode(const std::string& node, const std::string* uevent, const Bytes* descriptor)
    {
        const fs::path device = m_root / "sys/devices" / node;
        fs::create_directories(device);
        fs::create_directories(m_root / "sys/class/hidraw" / node);
        fs::create_directory_symlink(device, m_root / "sys/class/hidraw" / node / "device");
        if (uevent != nullptr) {
            std::ofstream(device / "uevent") << *uevent;
        }
        if (descriptor != nullptr) {
            std::ofstream(device / "report_descriptor", std::ios::binary)
                .write(reinterpret_cast<const char*>(descriptor->data()),
                       static_cast<std::streamsize>(descriptor->size()));
        }
        std::ofstream(m_root / "dev" / node) << "";
    }

    HidrawBackend Backend() const
    {
        return HidrawBackend((m_root / "sys").string(), (m_root / "dev").string());
    }
    std::string Dev(const std::string& node) const { return (m_root / "dev" / node).string(); }

    TempFolder m_folder{"zq-hidraw-test"};
    fs::path m_root = m_folder.Path();
};

TEST_F(HidrawBackendTest, EnumeratesByNodeNumberWithIdsNamesAndFeatureLengths)
{
    const std::string keyboard = Uevent("0003:0000FA2C:00001000", "Tavrin ZQ-2200 Keyboard");
    const std::string mouse = Uevent("0003:0000046D:0000C077", "Logitech USB Optical Mouse");
    AddNode("hidraw10", &keyboard, &VendorInterface);
    AddNode("hidraw2", &keyboard, &VendorInterface);
    AddNode("hidraw1", &keyboard, &Typing);
    AddNode("hidraw3", &mouse, &Typing);
    AddNode("hidraw4", &keyboard, &CardReader);
    fs::create_directories(m_root / "sys/class/hidraw/hidraw"); // not nodes
    fs::create_directories(m_root / "sys/class/hidraw/hidraw4x");
    fs::create_directories(m_root / "sys/class/hidraw/hidraw1234567890");

    HidrawBackend backend = Backend();
    std::vector<HidInterfaceInfo> found;
    ASSERT_TRUE(backend.Enumerate(found));
    EXPECT_EQ(backend.GetLastError(), kOsErrorNone);
    ASSERT_EQ(found.size(), 5u);
    const std::vector<std::string> paths = {Dev("hidraw1"), Dev("hidraw2"), Dev("hidraw3"), Dev("hidraw4"),
                                            Dev("hidraw10")};
    const std::vector<uint16_t> vendors = {0xFA2C, 0xFA2C, 0x046D, 0xFA2C, 0xFA2C};
    const std::vector<uint16_t> products = {0x1000, 0x1000, 0xC077, 0x1000, 0x1000};
    const std::vector<uint16_t> featureLengths = {0, 137, 0, 9, 137};
    // A card reader has a feature report of its own, but not the two a keyboard is programmed by.
    const std::vector<bool> programming = {false, true, false, false, true};
    for (size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].path, paths[i]);
        EXPECT_EQ(found[i].vendorId, vendors[i]);
        EXPECT_EQ(found[i].productId, products[i]);
        EXPECT_EQ(found[i].featureReportByteLength, featureLengths[i]);
        EXPECT_EQ(found[i].programmingReports, programming[i]);
        EXPECT_EQ(found[i].kind, HidInterfaceKind::Hid);
    }
    EXPECT_EQ(found[0].name, "Tavrin ZQ-2200 Keyboard");
    EXPECT_EQ(found[2].name, "Logitech USB Optical Mouse");
}

TEST_F(HidrawBackendTest, NodesWithoutUsableIdsAreLeftOutAndBadDescriptorsHaveNoFeature)
{
    const std::string keyboard = Uevent("0003:0000FA2C:00001002", "ZQ-3300");
    const std::string noId = "DRIVER=hid-generic\nHID_NAME=ZQ-3300\n";
    const std::string wideVendor = Uevent("0003:0001FA2C:00001002", "ZQ-3300");
    const std::string badHex = Uevent("0003:000016G0:00001002", "ZQ-3300");
    const std::string shortId = Uevent("0003:FA2C", "ZQ-3300");
    const Bytes truncated(VendorInterface.begin(), VendorInterface.end() - 3);
    AddNode("hidraw0", nullptr, &VendorInterface); // uevent missing
    AddNode("hidraw1", &noId, &VendorInterface);
    AddNode("hidraw2", &wideVendor, &VendorInterface);
    AddNode("hidraw3", &badHex, &VendorInterface);
    AddNode("hidraw4", &shortId, &VendorInterface);
    AddNode("hidraw5", &keyboard, nullptr); // descriptor missing
    AddNode("hidraw6", &keyboard, &truncated);
    AddNode("hidraw7", &keyboard, &VendorInterface);

    HidrawBackend backend = Backend();
    std::vector<HidInterfaceInfo> found;
    ASSERT_TRUE(backend.Enumerate(found));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].path, Dev("hidraw5"));
    EXPECT_EQ(found[0].featureReportByteLength, 0);
    EXPECT_EQ(found[1].path, Dev("hidraw6"));
    EXPECT_EQ(found[1].featureReportByteLength, 0);
    EXPECT_EQ(found[2].path, Dev("hidraw7"));
    EXPECT_EQ(found[2].productId, 0x1002);
    EXPECT_EQ(found[2].featureReportByteLength, 137);
}

TEST_F(HidrawBackendTest, NodesThatCannotBeReadAreListedWithTheReason)
{
    const std::string longName = Uevent("0003:0000FA2C:00001000", std::string(100 * 1024, 'n'));
    const std::string keyboard = Uevent("0003:0000FA2C:00001000", "ZQ-2200");
    AddNode("hidraw0", &longName, &VendorInterface);
    AddNode("hidraw1", &keyboard, nullptr);
    fs::create_directory(m_root / "sys/devices/hidraw1/report_descriptor");

    HidrawBackend backend = Backend();
    std::vector<HidInterfaceInfo> found;
    ASSERT_TRUE(backend.Enumerate(found));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].path, Dev("hidraw0"));
    EXPECT_EQ(found[0].readError, kOsErrorOtherBase + EFBIG);
    EXPECT_EQ(found[0].vendorId, 0);
    EXPECT_EQ(found[1].readError, kOsErrorOtherBase + EISDIR);
    EXPECT_EQ(found[1].productId, 0x1000);
    EXPECT_EQ(found[1].featureReportByteLength, 0);
}

TEST_F(HidrawBackendTest, MissingClassFolderIsAFailedListWithNotConnected)
{
    fs::remove_all(m_root / "sys/class");
    HidrawBackend backend = Backend();
    std::vector<HidInterfaceInfo> found(1);
    EXPECT_FALSE(backend.Enumerate(found));
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(backend.GetLastError(), kOsErrorNotConnected);
}

TEST_F(HidrawBackendTest, OpenFailuresKeepTheErrno)
{
    HidrawBackend backend = Backend();
    EXPECT_EQ(backend.Open(Dev("hidraw9")), kInvalidHidHandle);
    EXPECT_EQ(backend.GetLastError(), kOsErrorNotConnected);
    // A folder cannot be opened read-write.
    EXPECT_EQ(backend.Open((m_root / "dev").string()), kInvalidHidHandle);
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EISDIR);
}

TEST_F(HidrawBackendTest, ANodeAnotherProgramHoldsIsInUseUntilItIsClosed)
{
    AddNode("hidraw0", nullptr, nullptr);
    HidrawBackend first = Backend();
    HidrawBackend second = Backend();
    const HidHandle held = first.Open(Dev("hidraw0"));
    ASSERT_NE(held, kInvalidHidHandle);
    EXPECT_EQ(second.Open(Dev("hidraw0")), kInvalidHidHandle);
    EXPECT_EQ(second.GetLastError(), kOsErrorInUse);
    first.Close(held);
    const HidHandle taken = second.Open(Dev("hidraw0"));
    EXPECT_NE(taken, kInvalidHidHandle);
    second.Close(taken);
}

TEST_F(HidrawBackendTest, ReportsAreRefusedWithoutIoForBadArgumentsAndForeignHandles)
{
    AddNode("hidraw0", nullptr, nullptr);
    HidrawBackend backend = Backend();
    const HidHandle handle = backend.Open(Dev("hidraw0"));
    ASSERT_NE(handle, kInvalidHidHandle);
    EXPECT_NE(handle, kNoHidHandle);
    EXPECT_EQ(backend.GetLastError(), kOsErrorNone);

    Bytes report(16384, 0);
    report[0] = 3;
    EXPECT_FALSE(backend.SetFeature(handle, report.data(), 0));
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EINVAL);
    // One byte past what the request number can carry.
    EXPECT_FALSE(backend.GetFeature(handle, report.data(), 16384));
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EINVAL);
    EXPECT_FALSE(backend.SetFeature(handle, nullptr, 8));
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EINVAL);

    // A plain file is no hidraw node: the request is tried and its errno kept.
    EXPECT_FALSE(backend.SetFeature(handle, report.data(), 8));
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + ENOTTY);
    EXPECT_FALSE(backend.GetFeature(handle, report.data(), 137));
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + ENOTTY);
    EXPECT_EQ(report[0], 3); // a failed read leaves the caller's buffer alone

    // Descriptors the backend did not open are never used or closed.
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    for (HidHandle foreign : {static_cast<HidHandle>(pipeEnds[0]), HidHandle{-5}, HidHandle{1} << 40}) {
        EXPECT_FALSE(backend.SetFeature(foreign, report.data(), 8));
        EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EBADF);
        backend.Close(foreign);
        EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EBADF);
    }
    EXPECT_NE(fcntl(pipeEnds[0], F_GETFD), -1);
    EXPECT_EQ(close(pipeEnds[0]), 0);
    EXPECT_EQ(close(pipeEnds[1]), 0);

    backend.Close(handle);
    EXPECT_EQ(backend.GetLastError(), kOsErrorNone);
    EXPECT_FALSE(backend.SetFeature(handle, report.data(), 8));
    EXPECT_EQ(backend.GetLastError(), kOsErrorOtherBase + EBADF);
}

TEST_F(HidrawBackendTest, DestroyingTheBackendClosesWhatIsStillOpen)
{
    AddNode("hidraw0", nullptr, nullptr);
    int fd;
    {
        HidrawBackend backend = Backend();
        const HidHandle handle = backend.Open(Dev("hidraw0"));
        ASSERT_NE(handle, kInvalidHidHandle);
        fd = static_cast<int>(handle);
        EXPECT_NE(fcntl(fd, F_GETFD), -1);
        EXPECT_EQ(fcntl(fd, F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
    }
    errno = 0;
    EXPECT_EQ(fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
}

TEST_F(HidrawBackendTest, DescriptorZeroIsNeverHandedOutAsAHandle)
{
    AddNode("hidraw0", nullptr, nullptr);
    const int savedInput = dup(0);
    ASSERT_GE(savedInput, 0);
    ASSERT_EQ(close(0), 0);
    HidrawBackend backend = Backend();
    const HidHandle handle = backend.Open(Dev("hidraw0"));
    const bool zeroFree = fcntl(0, F_GETFD) == -1;
    ASSERT_EQ(dup2(savedInput, 0), 0);
    ASSERT_EQ(close(savedInput), 0);
    EXPECT_GT(handle, 0);
    EXPECT_TRUE(zeroFree);
    backend.Close(handle);
    EXPECT_EQ(backend.GetLastError(), kOsErrorNone);
}

} // namespace
