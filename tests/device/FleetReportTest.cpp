#include "device/FleetReport.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<FleetRow> Rows()
{
    FleetRow ok;
    ok.device = "/dev/hidraw3";
    ok.type = "ZQ-2200";
    ok.firmware = "1.2.3";
    ok.backup = "/b/dev-hidraw3_2026-01-02_03-04-05.zqp";
    ok.reports = 118;
    ok.seconds = 0.414;
    FleetRow differs;
    differs.device = "tcp:127.0.0.1:4000";
    differs.type = "ZQ-2200";
    differs.firmware = "1.2.3";
    differs.result = 20;
    differs.message =
        "The keyboard holds other data than were written.\r\n\r\nThe first difference is at 0x0812.";
    differs.reports = 70;
    FleetRow legacy;
    legacy.device = "/dev/zq1100";
    legacy.type = "ZQ-1100";
    legacy.verifiable = false;
    legacy.reports = 451;
    legacy.seconds = 1.5;
    return {ok, differs, legacy};
}

TEST(FleetReport, TheTableHasARowAKeyboardAndEachFailureItsMessageBelow)
{
    EXPECT_EQ(FormatFleetTable(Rows()),
              "DEVICE              TYPE     FIRMWARE  RESULT              REPORTS  SECONDS  BACKUP\n"
              "/dev/hidraw3        ZQ-2200  1.2.3     OK                  118      0.41     "
              "/b/dev-hidraw3_2026-01-02_03-04-05.zqp\n"
              "tcp:127.0.0.1:4000  ZQ-2200  1.2.3     20                  70       0.00     -\n"
              "  The keyboard holds other data than were written. The first difference is at 0x0812.\n"
              "/dev/zq1100         ZQ-1100  -         OK, not verifiable  451      1.50     -\n");
}

TEST(FleetReport, CsvQuotesWhatNeedsItAndKeepsOneLineAKeyboard)
{
    std::vector<FleetRow> rows = Rows();
    rows[1].message = "said \"no\", twice";
    EXPECT_EQ(FormatFleetCsv(rows),
              "device,type,firmware,backup,result,message,reports,seconds,verifiable\r\n"
              "/dev/hidraw3,ZQ-2200,1.2.3,/b/dev-hidraw3_2026-01-02_03-04-05.zqp,0,,118,0.41,true\r\n"
              "tcp:127.0.0.1:4000,ZQ-2200,1.2.3,,20,\"said \"\"no\"\", twice\",70,0.00,true\r\n"
              "/dev/zq1100,ZQ-1100,,,0,,451,1.50,false\r\n");
}

TEST(FleetReport, TheJsonReportGivesItsFailuresBackForARetry)
{
    const std::string json = FormatFleetJson(Rows());
    EXPECT_NE(json.find(R"("firmware": null, "backup": null, "result": 0)"), std::string::npos) << json;
    std::vector<std::string> devices;
    std::string error;
    ASSERT_TRUE(ReadFailedDevices(json, devices, error)) << error;
    EXPECT_EQ(devices, std::vector<std::string>({"tcp:127.0.0.1:4000"}));
}

struct BadReport
{
    const char* what;
    const char* json;
};

class FleetReportRefused : public ::testing::TestWithParam<BadReport>
{
};

TEST_P(FleetReportRefused, NoDeviceIsTakenFromWhatIsNoReport)
{
    std::vector<std::string> devices = {"left over"};
    std::string error;
    EXPECT_FALSE(ReadFailedDevices(GetParam().json, devices, error));
    EXPECT_TRUE(devices.empty());
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FleetReportRefused,
    ::testing::Values(
        BadReport{"NoJson", "device,result"}, BadReport{"NoArray", R"({"keyboards": {}})"},
        BadReport{"NoDevice", R"({"keyboards": [{"result": 20}]})"},
        BadReport{"EmptyDevice", R"({"keyboards": [{"device": "", "result": 20}]})"},
        BadReport{"TextResult", R"({"keyboards": [{"device": "a", "result": "20"}]})"},
        BadReport{"BrokenRow",
                  R"({"keyboards": [{"device": "a", "result": 16}, {"device": "b", "result": 1.5}]})"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(FleetReport, AReportFileThatCannotBeReadOrIsNoneAnswersTheFileCodes)
{
    TempFolder folder;
    std::vector<std::string> devices;
    std::string why;
    EXPECT_EQ(ReadFleetReportFile(folder.File("missing.json"), devices, why), 3);
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(ReadFleetReportFile(folder.Write("bad.json", "[1"), devices, why), 4);
    EXPECT_EQ(ReadFleetReportFile(
                  folder.Write("ok.json", R"({"keyboards": [{"device": "x", "result": 12}]})"), devices, why),
              0);
    EXPECT_EQ(devices, std::vector<std::string>({"x"}));
}

} // namespace
