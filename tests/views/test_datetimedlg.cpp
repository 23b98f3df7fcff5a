// The time-adjust dialog's patterns and its rule for summer time.
#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "gui/datetimedlg.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

namespace {

TEST(DateTimeDialog, PicturesBecomeQtFormatsWithSeconds)
{
    EXPECT_EQ(CDateTimeDlg::QtDisplayFormat(QStringLiteral("h:mm:ss tt")), QStringLiteral("h:mm:ss AP"));
    EXPECT_EQ(CDateTimeDlg::QtDisplayFormat(QStringLiteral("h:mm:sst")), QStringLiteral("h:mm:ssAP"));
    EXPECT_EQ(CDateTimeDlg::QtDisplayFormat(QStringLiteral("dd.MM.yyyy")), QStringLiteral("dd.MM.yyyy"));
}

TEST(DateTimeDialog, TheOneLetterMarkerShowsTheCurrentTime)
{
    QTemporaryDir dir;
    CSettingsStore store(dir.filePath(QStringLiteral("settings.json")));
    Settings::Attach(&store, dir.filePath(QStringLiteral("vetradesk")));
    Settings::LoadSettings();
    Settings::SaveDateTimeFormat(0x0001);   // "h:mmt"
    EXPECT_EQ(CDateTimeDlg::TimePictureWithSeconds(), QStringLiteral("h:mm:sst"));
    CDateTimeDlg dialog;
    const std::int64_t stamp = 1768035600;   // 2026-01-10 10:00 CET
    dialog.SetCurrent(stamp);
    dialog.SetAdjusted(stamp);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("currentTime"))->text(), QStringLiteral("10:00:00A"));
    dialog.accept();
    EXPECT_EQ(dialog.GetShift(), 0);
    Settings::Attach(nullptr, QString());
}

TEST(DateTimeDialog, BothBoxesRowsLineUpAndTheKeysStartInTheNewDate)
{
    CDateTimeDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto y = [&](const char *name) {
        QWidget *w = dialog.findChild<QWidget *>(QString::fromLatin1(name));
        return w->mapTo(&dialog, QPoint(0, w->height() / 2)).y();
    };
    EXPECT_EQ(y("currentDate"), y("newDate"));
    EXPECT_EQ(y("currentTime"), y("newTime"));
    EXPECT_FALSE(dialog.findChild<QLineEdit *>(QStringLiteral("currentDate"))->hasFocus());
}

TEST(DateTimeDialog, ShownStampsAreAnHourEarlierInSummerOnly)
{
    const std::int64_t summer = 1782896400;   // 2026-07-01 11:00 CEST
    const std::int64_t winter = 1767261600;   // 2026-01-01 11:00 CET
    EXPECT_EQ(CDateTimeDlg::ShownStamp(summer), summer - 3600);
    EXPECT_EQ(CDateTimeDlg::ShownStamp(winter), winter);
}

}   // namespace
