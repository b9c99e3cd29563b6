#include "RecordingPrompts.h"
#include "ScopedEnvironment.h"

#include "device/DeviceResult.h"
#include "editor/DeviceCommandRunner.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// Every keyboard is looked for as a simulator entry nobody serves: no real device is ever reached.
class DeviceCommandRunnerTest : public ::testing::Test
{
protected:
    ScopedEnvironment m_simulator{"ZQ_SIMULATOR", "/nonexistent/zq-keyboard"};
    RecordingPrompts m_prompts;
};

TEST_F(DeviceCommandRunnerTest, EachFamilyOffersItsCommands)
{
    const std::unique_ptr<Keyboard> usb = CreateKeyboard(kTypeZq2200One);
    const std::unique_ptr<Keyboard> legacy = CreateKeyboard(kTypeZq1100V1Single);
    EXPECT_EQ(GetFamilyName(*usb), "ZQ-2200");
    EXPECT_EQ(GetFamilyName(*legacy), "ZQ-1100");
    for (const DeviceCommandKind kind :
         {DeviceCommandKind::Program, DeviceCommandKind::Download, DeviceCommandKind::UploadFirmware,
          DeviceCommandKind::FirmwareVersion}) {
        EXPECT_TRUE(IsDeviceCommandAvailable(*usb, kind));
        EXPECT_EQ(IsDeviceCommandAvailable(*legacy, kind), kind == DeviceCommandKind::Program);
    }
}

TEST_F(DeviceCommandRunnerTest, WithoutAKeyboardTheBackupAsksNothingAndGivesTheMessage)
{
    const std::unique_ptr<Keyboard> usb = CreateKeyboard(kTypeZq2200One);
    ProgrammingChecks checks;
    checks.verify = true;
    checks.backup = true;
    checks.backupFolder = "/nonexistent/backups";
    const DeviceCommandOutcome outcome = RunProgramming(*usb, checks, nullptr, m_prompts);
    EXPECT_EQ(outcome.code, DeviceResultNoDevice);
    EXPECT_EQ(outcome.message.rfind(GetResultMessage(DeviceResultNoDevice), 0), 0u);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_TRUE(m_prompts.shown.empty());

    const DeviceCommandOutcome version =
        RunDeviceOperation(*usb, DeviceCommandKind::FirmwareVersion, std::string(), nullptr);
    EXPECT_EQ(version.code, DeviceResultNoDevice);
    EXPECT_TRUE(version.version.empty()) << "a failed query shows no version";
}

TEST_F(DeviceCommandRunnerTest, ALegacyKeyboardSaysOnceThatItCannotBeReadBack)
{
    const std::unique_ptr<Keyboard> legacy = CreateKeyboard(kTypeZq1100V1Single);
    bool noted = false;
    ProgrammingChecks checks;
    checks.verify = true;
    checks.legacyNoted = &noted;
    for (int run = 0; run < 2; ++run) {
        const DeviceCommandOutcome outcome = RunProgramming(*legacy, checks, nullptr, m_prompts);
        EXPECT_NE(outcome.code, DeviceResultOk);
        EXPECT_FALSE(outcome.message.empty());
    }
    EXPECT_TRUE(noted);
    ASSERT_EQ(m_prompts.shown.size(), 1u);
    EXPECT_EQ(m_prompts.shown[0].rfind("A ZQ-1100 keyboard cannot be read back", 0), 0u);
}

TEST(DescribeProgress, NamesThePhaseTheKeyboardAndTheFirmwareBlock)
{
    EXPECT_EQ(DescribeProgress(ProgressPhase::None, "ZQ-3300", 0, 100),
              "Connecting to the ZQ-3300 keyboard...");
    EXPECT_EQ(DescribeProgress(ProgressPhase::Verifying, "ZQ-2200", 70, 118),
              "Reading the ZQ-2200 keyboard back to verify it...");
    // The block on its way is one past those sent, and never past the last.
    EXPECT_EQ(DescribeProgress(ProgressPhase::SendingFirmware, "ZQ-2200", 0, 12),
              "Sending firmware block 1 of 12 to the ZQ-2200 keyboard...");
    EXPECT_EQ(DescribeProgress(ProgressPhase::SendingFirmware, "ZQ-2200", 12, 12),
              "Sending firmware block 12 of 12 to the ZQ-2200 keyboard...");
}

} // namespace
