#include "data/timetext.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;
using namespace TimeText;

namespace {
std::string P(const char16_t *picture, int year, int month, int day, int hour, int minute, int second, int wday = 0)
{
    std::tm t{};
    t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second, t.tm_wday = wday;
    return FormatPicture(QStringView(picture), t).toStdString();
}
std::string Stamp(std::int64_t stamp)
{
    return FormatTimeStamp(stamp, u"dd.MM.yyyy", u"HH:mm").toStdString();
}
}   // namespace

TEST(TimeText, Pictures)
{
    // The date and time pictures of the settings, and the other letters.
    EXPECT_EQ(P(u"MM/dd/yyyy|dd-MM-yyyy|dd/MM/yyyy|dd.MM.yyyy", 2023, 3, 4, 17, 6, 9),
              "03/04/2023|04-03-2023|04/03/2023|04.03.2023");
    EXPECT_EQ(P(u"h:mm tt|h:mmt|H:mm|HH:mm", 2023, 3, 4, 17, 6, 9), "5:06 PM|5:06P|17:06|17:06");
    EXPECT_EQ(P(u"d.M.yy y|hh:m:s|HH:mm:ss", 2023, 3, 4, 17, 6, 9), "4.3.23 23|05:6:9|17:06:09");
    EXPECT_EQ(P(u"ddd, dddd MMM MMMM", 2023, 3, 4, 17, 6, 9, 6), "Sat, Saturday Mar March");
    EXPECT_EQ(P(u"'day' d 'of' MMMM", 2023, 3, 4, 17, 6, 9), "day 4 of March");
    EXPECT_EQ(P(u"yyyy-MM-dd'T'HH", 987, 12, 31, 0, 0, 0), "0987-12-31T00");
    EXPECT_EQ(P(u"h tt", 2023, 1, 1, 0, 0, 0) + P(u"|h tt", 2023, 1, 1, 12, 0, 0) + P(u"|h t", 2023, 1, 1, 11, 0, 0),
              "12 AM|12 PM|11 A");
}

// The instrument keeps standard time, so a summer stamp is shown an hour earlier.
TEST(TimeText, TimeStampText)
{
    const std::int64_t winter = 1673769900;   // 2023-01-15 08:05 UTC
    const std::int64_t summer = 1688214600;   // 2023-07-01 12:30 UTC
    EXPECT_FALSE(IsInDaylightSaving(winter));
    EXPECT_TRUE(IsInDaylightSaving(summer));
    EXPECT_EQ(FormatTimeStamp(winter, u"MM/dd/yyyy", u"h:mm tt"), QStringLiteral("01/15/2023 9:05 AM"));
    EXPECT_EQ(FormatTimeStamp(summer, u"MM/dd/yyyy", u"h:mm tt"), QStringLiteral("07/01/2023 1:30 PM"));
    EXPECT_EQ(Stamp(1688164200), "30.06.2023 23:30");   // 2023-06-30 22:30 UTC
    EXPECT_EQ(Stamp(0), "01.01.1970 01:00");

    const std::int64_t noon = 1688214600;   // 2023-07-01 12:30 UTC
    EXPECT_EQ(Stamp(noon), "01.07.2023 13:30");
    {
        ScopedTimeZone utc("UTC");
        EXPECT_EQ(Stamp(noon), "01.07.2023 12:30");
    }
    ScopedTimeZone newYork("America/New_York");
    EXPECT_EQ(Stamp(noon), "01.07.2023 07:30");
}

TEST(TimeText, FromLocal)
{
    EXPECT_EQ(FromLocal(2023, 3, 14, 9, 5, 7), std::optional<std::int64_t>(1678781107));   // 08:05:07 UTC
    EXPECT_EQ(FromLocal(2023, 7, 2, 14, 30, 0), std::optional<std::int64_t>(1688301000));
    EXPECT_TRUE(FromLocal(1900, 1, 1, 0, 0, 0).has_value());
    EXPECT_TRUE(FromLocal(2023, 12, 31, 23, 59, 59).has_value());
    const int bad[][6] = {{1899, 12, 31, 23, 59, 59}, {2023, 0, 1, 0, 0, 0},  {2023, 13, 1, 0, 0, 0},
                          {2023, 1, 0, 0, 0, 0},      {2023, 1, 32, 0, 0, 0}, {2023, 1, 1, -1, 0, 0},
                          {2023, 1, 1, 24, 0, 0},     {2023, 1, 1, 0, 60, 0}, {2023, 1, 1, 0, 0, 60},
                          {2023, 1, 1, 0, -1, 0}};
    for (const auto &f : bad)
        EXPECT_FALSE(FromLocal(f[0], f[1], f[2], f[3], f[4], f[5]).has_value()) << f[0] << "-" << f[1] << "-" << f[2];
}
