#include <gtest/gtest.h>

#include <QRect>

#include "app/TimeDifference.h"
#include "app/WindowPlacement.h"
#include "support/BackupLines.h"
#include "udp/UdpOutput.h"

namespace harvel {
namespace {

using test::TimeOf;

TEST(ClockText, ReadByThePositionOfTheDecimalSeparator) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"10:15:30.1234", TimeOf(10, 15, 30, 1234)},
        {"9:59:59.0000", TimeOf(9, 59, 59, 0)},
        {"1:02.5000", TimeOf(0, 1, 2, 5000)},
        {"12.3456", TimeOf(0, 0, 12, 3456)},
        {".5", 5000},
        {"'10:15:30.1234", TimeOf(10, 15, 30, 1234)},
        {"10:15:30.1234 PM", TimeOf(10, 15, 30, 1234)},
        {"42", 0},
        {"", 0},
        {"1234567890.5", 0},
        {"x0:15:30.1234", TimeOf(0, 15, 30, 1234)},
        // Fewer decimals are what they say: .12 is twelve hundredths.
        {"10:15:30.12", TimeOf(10, 15, 30, 1200)},
        {"10:15:30.1", TimeOf(10, 15, 30, 1000)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClockTextValue(c.text, '.'), c.value) << c.text;
    }
    EXPECT_EQ(ClockTextValue("10.15.30,1234", ','), TimeOf(10, 15, 30, 1234));
}

TEST(ClockText, DifferenceIsAbsoluteWithFourDecimals) {
    const Separators s{':', '.'};
    EXPECT_EQ(TimeDifferenceText("10:15:30.1234", "10:15:45.5000", s), "15.3766");
    EXPECT_EQ(TimeDifferenceText("10:00:01.0000", "9:59:59.0000", s), "2.0000");
    EXPECT_EQ(TimeDifferenceText("42", "1:00.0000", s), "1:00.0000");
    EXPECT_EQ(TimeDifferenceText("10:15:30.12", "10:15:30.1234", s), "0.0034");
}

TEST(BroadcastAddress, OfTheLocalAddress) {
    const struct {
        const char* local;
        const char* broadcast;
    } cases[] = {
        {"192.168.1.20", "192.168.001.255"},
        {"10.0.0.5", "010.255.255.255"},
        {"172.16.4.9", "172.016.255.255"},
        {"127.0.0.1", "127.000.000.001"},
        {"127.0.0.2", "127.255.255.255"},
        {"not an address", "010.255.255.255"},
        {"", "010.255.255.255"},
        {"0.1.2.3", "000.001.002.255"},
        {"1234.5.6.7", "234.005.006.255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BroadcastAddressOf(QLatin1String(c.local)), QLatin1String(c.broadcast))
            << c.local;
    }
}

TEST(WindowPlacement, StoredPlacementMustBeSeen) {
    const QList<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    EXPECT_EQ(VisiblePlacement(QRect(100, 50, 800, 600), screens), QRect(100, 50, 800, 600));
    EXPECT_EQ(VisiblePlacement(QRect(1500, 10, 800, 600), screens), QRect(1500, 10, 800, 600));
    EXPECT_EQ(VisiblePlacement(QRect(5000, 5000, 800, 600), screens), QRect(0, 0, 800, 600));
    EXPECT_EQ(VisiblePlacement(QRect(-3000, 0, 4000, 3000), screens), QRect(0, 0, 1280, 1024));
    EXPECT_EQ(VisiblePlacement(QRect(10, -200, 800, 600), screens), QRect(0, 0, 800, 600))
        << "a title bar above the screen cannot be grabbed";
}

}  // namespace
}  // namespace harvel
