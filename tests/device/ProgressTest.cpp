#include "DeviceTestSupport.h"
#include "device/MessagePump.h"
#include "device/ProgressBarState.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(ProgressTest, ReportProgressPumpsWithOrWithoutASink)
{
    int pumps = 0;
    SetPumpMessagesHook([&] { ++pumps; });
    RecordingProgress sink;
    ReportProgress(&sink, 0, 129);
    ReportProgress(&sink, 128, 129);
    ReportProgress(nullptr, 129, 129);
    EXPECT_EQ(sink.m_calls, (ProgressCalls{{0, 129}, {128, 129}}));
    EXPECT_EQ(pumps, 3);

    SetPumpMessagesHook(nullptr);
    PumpMessages();
    EXPECT_EQ(pumps, 3);
}

TEST(ProgressTest, BarFollowsTheProgressProtocol)
{
    ProgressBarState bar;
    int changes = 0;
    bar.SetChangedHandler([&] { ++changes; });
    EXPECT_EQ(bar.GetMaximum(), 100);

    bar.Progress(0, 0);
    bar.Progress(5, 0);
    EXPECT_EQ(bar.GetMaximum(), 100);
    EXPECT_EQ(bar.GetPosition(), 0u);
    EXPECT_EQ(changes, 0);

    bar.Progress(3, 10);
    bar.Progress(0, 7); // range only, the position stays
    EXPECT_EQ(bar.GetMaximum(), 7);
    EXPECT_EQ(bar.GetPosition(), 3u);

    bar.Progress(0, 0x12345); // the range is 16 bits
    EXPECT_EQ(bar.GetMaximum(), 0x2345);
    bar.Progress(0x9000, 0x12345);
    EXPECT_EQ(bar.GetPosition(), 0x2345u);
    EXPECT_EQ(changes, 4);

    // A phase goes on in the bar as it stands until it sets a range of its own.
    bar.Phase(ProgressPhase::Verifying);
    EXPECT_EQ(bar.GetPhase(), ProgressPhase::Verifying);
    EXPECT_EQ(bar.GetPosition(), 0x2345u);
    bar.Phase(ProgressPhase::Writing);
    bar.Progress(0, 40);
    EXPECT_EQ(bar.GetPosition(), 0u);
    bar.Progress(0, 50); // the range alone moves nothing, as before
    bar.Progress(8, 50);
    bar.Progress(0, 60);
    EXPECT_EQ(bar.GetPosition(), 8u);
    EXPECT_EQ(changes, 10);
}

} // namespace
