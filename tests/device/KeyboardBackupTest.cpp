#include "device/KeyboardBackup.h"

#include "TempFolder.h"
#include "device/DeviceResult.h"
#include "files/ProjectOpen.h"
#include "lang/StringIds.h"
#include "lang/Texts.h"
#include "model/Keyboard.h"
#include "model/KeyboardCatalogue.h"
#include "model/KeyboardTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace {

std::tm LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

std::unique_ptr<Keyboard> Programmed(uint8_t typeId, const char* codes)
{
    std::unique_ptr<Keyboard> keyboard = CreateKeyboard(typeId);
    EXPECT_TRUE(keyboard->SetKeyTexts("Key", codes, 1, 1, 1));
    return keyboard;
}

TEST(KeyboardBackup, FileNamesCarryTheTypeAndTheLocalTime)
{
    const std::tm time = LocalTime(2025, 1, 31, 14, 5, 9);
    const struct
    {
        uint8_t typeId;
        unsigned sequence;
        const char* name;
    } cases[] = {
        {kTypeZq2200Three, 1, "ZQ-2200-three-layouts_2025-01-31_14-05-09.zqp"},
        {0, 1, "ZQ-3300-double-one-layer_2025-01-31_14-05-09.zqp"},
        {1, 2, "ZQ-3300-double-two-layouts_2025-01-31_14-05-09_02.zqp"},
        {kTypeZq2200One, 12, "ZQ-2200-one-layout_2025-01-31_14-05-09_12.zqp"},
        {255, 1, "type-255_2025-01-31_14-05-09.zqp"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(MakeBackupFileName(test.typeId, time, test.sequence), test.name);
    }
    // A translated type name would make another name for each language: the built-in one is used.
    TempFolder folder;
    ASSERT_TRUE(
        LoadLanguageFile(folder.Write("de.lang", std::to_string(IDS_TYPE_ZQ2200_THREE) + "=Drei Ebenen\n")));
    EXPECT_EQ(MakeBackupFileName(kTypeZq2200Three, time), "ZQ-2200-three-layouts_2025-01-31_14-05-09.zqp");
    ClearLanguageTable();
}

TEST(KeyboardBackup, PortBackupsAreNamedAfterThePortAndNeverMeetInOneFolder)
{
    const std::tm time = LocalTime(2025, 1, 31, 14, 5, 9);
    EXPECT_EQ(MakePortBackupFileName("/dev/hidraw3", time), "dev-hidraw3_2025-01-31_14-05-09.zqp");
    EXPECT_EQ(MakePortBackupFileName("tcp:127.0.0.1:4000", time, 2),
              "tcp-127-0-0-1-4000_2025-01-31_14-05-09_02.zqp");
    // A long path keeps its end, where keyboards differ; no path reaches out of the folder.
    const std::string name = MakePortBackupFileName("/" + std::string(200, 'x') + "/../kb7", time);
    EXPECT_EQ(name.substr(0, name.find('_')), std::string(60, 'x') + "-kb7");

    TempFolder temp;
    std::unique_ptr<Keyboard> backup = Programmed(kTypeZq2200Three, "M1,K0x04");
    std::string first;
    std::string second;
    ASSERT_TRUE(SavePortBackup(*backup, temp.File("row"), "/dev/hidraw3", 1738332309, &first));
    ASSERT_TRUE(SavePortBackup(*backup, temp.File("row"), "/dev/hidraw3", 1738332309, &second));
    EXPECT_NE(first, second) << "a second backup in the same second keeps the first";
    EXPECT_EQ(FolderEntries(temp.File("row")).size(), 2u);
}

TEST(KeyboardBackup, TheFolderIsMadeForTheUserAloneAndKeepsTheNewestOfEachType)
{
    TempFolder temp;
    const std::string folder = temp.File("data/Tavrin/zq-programmer/backups");
    std::unique_ptr<Keyboard> backup = Programmed(kTypeZq2200One, "M1,S+,K0x04");
    std::unique_ptr<Keyboard> other = Programmed(kTypeZq2200Three, "K0x05");
    const std::time_t start = 1'700'000'000;

    std::string first;
    ASSERT_TRUE(SaveBackupInFolder(*backup, folder, start, &first));
    for (const char* made :
         {"data", "data/Tavrin", "data/Tavrin/zq-programmer", "data/Tavrin/zq-programmer/backups"}) {
#ifdef _WIN32
        // The folders inherit the user profile's access list; there are no mode bits to check.
        EXPECT_TRUE(std::filesystem::is_directory(temp.File(made))) << made;
#else
        EXPECT_EQ(ModeOf(temp.File(made)), 0700u) << made;
#endif
    }
    uint8_t format = 0;
    OpenedProject reopened = OpenProjectFile(first, &format);
    ASSERT_EQ(reopened.outcome, OpenOutcome::Opened);
    EXPECT_EQ(reopened.keyboard->GetContentSignature(), backup->GetContentSignature());

    // Files of other types and of other names are never counted or removed.
    std::string otherPath;
    ASSERT_TRUE(SaveBackupInFolder(*other, folder, start, &otherPath));
    WriteWholeFile(folder + "/notes.txt", "mine");
    WriteWholeFile(folder + "/ZQ-2200-one-layout_old.zqp", "mine");
    for (std::time_t i = 1; i < static_cast<std::time_t>(kKeptBackupsPerType); ++i) {
        ASSERT_TRUE(SaveBackupInFolder(*backup, folder, start + i * 60, nullptr));
    }
    EXPECT_EQ(FolderEntries(folder).size(), kKeptBackupsPerType + 3);
    EXPECT_TRUE(std::filesystem::exists(first));

    std::string newest;
    ASSERT_TRUE(SaveBackupInFolder(*backup, folder, start + 3600, &newest));
    EXPECT_FALSE(std::filesystem::exists(first)) << "the 21st backup removes the oldest";
    EXPECT_TRUE(std::filesystem::exists(newest));
    EXPECT_TRUE(std::filesystem::exists(otherPath));
    EXPECT_TRUE(std::filesystem::exists(folder + "/notes.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/ZQ-2200-one-layout_old.zqp"));
    EXPECT_EQ(FolderEntries(folder).size(), kKeptBackupsPerType + 3);
}

TEST(KeyboardBackup, TwoBackupsInOneSecondKeepBothInTheirOrder)
{
    TempFolder temp;
    std::unique_ptr<Keyboard> backup = Programmed(kTypeZq2200One, "K0x04");
    std::string paths[3];
    for (std::string& path : paths) {
        ASSERT_TRUE(SaveBackupInFolder(*backup, temp.Path(), 1'700'000'000, &path));
    }
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_EQ(paths[1].substr(paths[1].size() - 7), "_02.zqp");
    EXPECT_EQ(paths[2].substr(paths[2].size() - 7), "_03.zqp");
    EXPECT_EQ(PruneBackups(temp.Path(), kTypeZq2200One, 1), 2u);
    EXPECT_TRUE(std::filesystem::exists(paths[2])) << "a sequence number sorts after its second";
}

TEST(KeyboardBackup, PruningGoesByTheTimeWrittenAndSparesTheNewBackup)
{
    TempFolder temp;
    std::unique_ptr<Keyboard> backup = Programmed(kTypeZq2200One, "K0x04");
    const std::time_t start = 1'700'000'000;
    std::vector<std::string> paths(kKeptBackupsPerType);
    for (size_t i = 0; i < paths.size(); ++i) {
        ASSERT_TRUE(
            SaveBackupInFolder(*backup, temp.Path(), start + static_cast<std::time_t>(i) * 60, &paths[i]));
    }
    // Written in the other order than their names tell, and later than the clock now says (a clock
    // set back): the last name was written first.
    const auto now = std::filesystem::file_time_type::clock::now();
    for (size_t i = 0; i < paths.size(); ++i) {
        std::filesystem::last_write_time(paths[i], now + std::chrono::hours(1) - std::chrono::minutes(i));
    }
    // Local time ten hours earlier than every name (a change of time zone).
    std::unique_ptr<Keyboard> newer = Programmed(kTypeZq2200One, "K0x05");
    std::string newest;
    ASSERT_TRUE(SaveBackupInFolder(*newer, temp.Path(), start - 10 * 3600, &newest));

    EXPECT_EQ(FolderEntries(temp.Path()).size(), kKeptBackupsPerType);
    uint8_t format = 0;
    OpenedProject reopened = OpenProjectFile(newest, &format);
    ASSERT_EQ(reopened.outcome, OpenOutcome::Opened) << "the backup just written is kept";
    EXPECT_EQ(reopened.keyboard->GetContentSignature(), newer->GetContentSignature());
    EXPECT_FALSE(std::filesystem::exists(paths.back())) << "written longest ago";
    EXPECT_TRUE(std::filesystem::exists(paths.front()));
}

TEST(KeyboardBackup, AFolderThatCannotBeMadeSavesNothing)
{
    TempFolder temp;
    const std::string file = temp.Write("file", "x");
    std::unique_ptr<Keyboard> backup = Programmed(kTypeZq2200One, "K0x04");
    std::string path = "unchanged";
    EXPECT_FALSE(CreateBackupFolder(file + "/backups"));
    EXPECT_FALSE(SaveBackupInFolder(*backup, file + "/backups", 1'700'000'000, &path));
    EXPECT_FALSE(SaveBackupInFolder(*backup, file, 1'700'000'000, &path));
    EXPECT_FALSE(CreateBackupFolder(""));
    EXPECT_EQ(path, "unchanged");
}

TEST(KeyboardBackup, ALegacyKeyboardCannotBeReadBack)
{
    std::unique_ptr<Keyboard> project = CreateKeyboard(kTypeZq1100V1Single);
    std::unique_ptr<Keyboard> backup;
    EXPECT_EQ(ReadKeyboardBackup(*project, nullptr, backup), DeviceResultNotSupported);
    EXPECT_EQ(backup, nullptr);
}

} // namespace
