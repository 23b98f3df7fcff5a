// The settings dialog and the About box, run from the main window's menu.
#include "shellfixture.h"

#include "app/appsettings.h"

#include "res/resources.h"
#include "shell/commands.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>

#include <cstdio>
#include <ctime>
#include <string>

using namespace Commands;
using TestSupport::ShellTest;

namespace {

class SettingsDialog : public ShellTest
{
protected:
    QStringList menuTitles() const
    {
        QStringList titles;
        for (QAction *a : frame->menuBar()->actions())
            titles << a->text();
        return titles;
    }

    // Runs Application settings, choosing `language` (a list entry's text)
    // and pressing `button`.
    void runSettings(const QString &language, const char *button, int date = -1, int time = -1)
    {
        messages.ExpectDialog(QStringLiteral("appSettings"), [=](QDialog &dialog) {
            auto *languages = dialog.findChild<QComboBox *>(QStringLiteral("language"));
            ASSERT_TRUE(languages);
            if (!language.isEmpty()) {
                const int index = languages->findText(language);
                ASSERT_GE(index, 0) << language.toStdString();
                languages->setCurrentIndex(index);
            }
            if (date >= 0)
                dialog.findChild<QComboBox *>(QStringLiteral("dateFormat"))->setCurrentIndex(date);
            if (time >= 0)
                dialog.findChild<QComboBox *>(QStringLiteral("timeFormat"))->setCurrentIndex(time);
            if (QString::fromLatin1(button) == u"reset+cancel") {
                dialog.findChild<QPushButton *>(QStringLiteral("reset"))->click();
                dialog.findChild<QPushButton *>(QStringLiteral("cancel"))->click();
            } else if (QString::fromLatin1(button) == u"reset+ok") {
                dialog.findChild<QPushButton *>(QStringLiteral("reset"))->click();
                dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
            } else {
                dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
            }
        });
        frame->Execute(ID_SETTINGS);
    }
};

TEST_F(SettingsDialog, SwitchingToGermanAndBackRenamesTheMenu)
{
    EXPECT_EQ(menuTitles(), (QStringList{QStringLiteral("&File"), QStringLiteral("&Device"), QStringLiteral("&Edit"),
                                         QStringLiteral("&Help")}));
    runSettings(QStringLiteral("Deutsch"), "ok");
    EXPECT_EQ(menuTitles(), (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Gerät"),
                                         QStringLiteral("&Bearbeiten"), QStringLiteral("&Hilfe")}));
    EXPECT_EQ(Settings::Current().languageFile, bin + QStringLiteral("/Vetradesk_DEU.dll"));
    EXPECT_EQ(frame->MenuAction(ID_SAVE)->text(), QStringLiteral("Projekt &speichern"));
    EXPECT_EQ(frame->ToolbarAction(ID_SAVE)->toolTip(), QStringLiteral("Projekt speichern"));

    runSettings(QStringLiteral("English"), "ok");
    EXPECT_EQ(menuTitles().first(), QStringLiteral("&File"));
    EXPECT_EQ(frame->MenuAction(ID_SAVE)->text(), QStringLiteral("&Save project"));
    EXPECT_EQ(Settings::Current().languageFile, Settings::ProgramPath());
    // The new menu's commands still work and keep their rules.
    EXPECT_FALSE(frame->MenuAction(ID_SAVE)->isEnabled());
}

TEST_F(SettingsDialog, TheThreeChoicesStartAtOneXInEitherLanguage)
{
    auto aligned = [](QDialog &dialog) {
        auto x = [&](const char *name) {
            auto *box = dialog.findChild<QWidget *>(QString::fromLatin1(name));
            return box->mapTo(&dialog, QPoint()).x();
        };
        EXPECT_EQ(x("language"), x("dateFormat"));
        EXPECT_EQ(x("timeFormat"), x("dateFormat"));
        EXPECT_EQ(x("requiredCover"), x("dateFormat"));
        EXPECT_EQ(x("quantile"), x("dateFormat"));
        dialog.reject();
    };
    messages.ExpectDialog(QStringLiteral("appSettings"), aligned);
    frame->Execute(ID_SETTINGS);
    runSettings(QStringLiteral("Deutsch"), "ok");
    messages.ExpectDialog(QStringLiteral("appSettings"), aligned);
    frame->Execute(ID_SETTINGS);
}

TEST_F(SettingsDialog, TheRequiredCoverAndQuantileAreStoredOnOkAndANonsenseCoverKeepsTheDialogOpen)
{
    EXPECT_FALSE(Settings::Current().assessment.requiredCover);
    messages.ExpectDialog(QStringLiteral("appSettings"), [](QDialog &dialog) {
        auto *cover = dialog.findChild<QLineEdit *>(QStringLiteral("requiredCover"));
        auto *quantile = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("quantile"));
        ASSERT_TRUE(cover && quantile);
        EXPECT_TRUE(cover->text().isEmpty());
        EXPECT_EQ(quantile->value(), 5.0);
        cover->setText(QStringLiteral("300"));
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
        EXPECT_TRUE(dialog.isVisible());
        cover->setText(QStringLiteral("27.5"));
        quantile->setValue(10.0);
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    frame->Execute(ID_SETTINGS);
    ASSERT_TRUE(Settings::Current().assessment.requiredCover);
    EXPECT_EQ(*Settings::Current().assessment.requiredCover, 27.5);
    EXPECT_DOUBLE_EQ(Settings::Current().assessment.quantile, 0.1);

    // Emptied: no limit again.
    messages.ExpectDialog(QStringLiteral("appSettings"), [](QDialog &dialog) {
        auto *cover = dialog.findChild<QLineEdit *>(QStringLiteral("requiredCover"));
        EXPECT_EQ(cover->text(), QStringLiteral("27.5"));
        cover->clear();
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    });
    frame->Execute(ID_SETTINGS);
    EXPECT_FALSE(Settings::Current().assessment.requiredCover);
}

TEST_F(SettingsDialog, TheMenuEntryRebuildsTheMenuItCameFrom)
{
    messages.ExpectDialog(QStringLiteral("appSettings"), [](QDialog &dialog) {
        auto *languages = dialog.findChild<QComboBox *>(QStringLiteral("language"));
        languages->setCurrentIndex(languages->findText(QStringLiteral("Deutsch")));
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    });
    frame->MenuAction(ID_SETTINGS)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame->findChildren<QMenuBar *>().size(), 1);
    EXPECT_EQ(menuTitles().first(), QStringLiteral("&Datei"));
    // Each shortcut belongs to one entry of the new menu.
    int owners = 0;
    for (QAction *a : frame->findChildren<QAction *>())
        if (a->shortcut() == QKeySequence(QKeySequence::Copy))
            ++owners;
    EXPECT_EQ(owners, 1);
}

TEST_F(SettingsDialog, ResetThenCancelChangesNothing)
{
    runSettings(QStringLiteral("Deutsch"), "ok", 3, 3);
    const QByteArray before = TestSupport::ReadBytes(store->Path());
    runSettings(QString(), "reset+cancel");
    EXPECT_EQ(TestSupport::ReadBytes(store->Path()), before);
    EXPECT_EQ(Settings::Current().dtFormat, 0x0303u);
    EXPECT_EQ(menuTitles().first(), QStringLiteral("&Datei"));
}

TEST_F(SettingsDialog, ResetThenOkStoresTheBuiltInLanguageAndTheFirstPatterns)
{
    runSettings(QStringLiteral("Deutsch"), "ok", 2, 1);
    EXPECT_EQ(Settings::Current().dtFormat, 0x0201u);
    runSettings(QString(), "reset+ok");
    EXPECT_EQ(Settings::Current().dtFormat, 0u);
    EXPECT_EQ(Settings::Current().languageFile, Settings::ProgramPath());
    EXPECT_EQ(menuTitles().first(), QStringLiteral("&File"));
}

TEST_F(SettingsDialog, OkWithoutChangesStoresNothing)
{
    const QByteArray before = TestSupport::ReadBytes(store->Path());
    runSettings(QString(), "ok");
    EXPECT_EQ(TestSupport::ReadBytes(store->Path()), before);
}

// The clock's local minute as "yyyy-MM-dd HH:mm", which sorts as time does.
std::string localMinute(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &tm);
    return text;
}

TEST_F(SettingsDialog, ThePreviewFollowsTheChosenPatterns)
{
    // The preview is of "now" as the dialog reads the clock: its text must
    // have the chosen pattern's shape, and its minute lie between the clock
    // read before the dialog made the text and after.
    struct SPreview
    {
        const char *shape;
        int day, month, year, hour, minute, ampm;   // which group holds each; no AM/PM group: 0
    };
    auto shownMinute = [](const QString &title, const SPreview &p) -> std::string {
        const QRegularExpressionMatch m = QRegularExpression(QString::fromLatin1(p.shape)).match(title);
        EXPECT_TRUE(m.hasMatch()) << title.toStdString() << " against " << p.shape;
        if (!m.hasMatch())
            return {};
        int hour = m.captured(p.hour).toInt();
        if (p.ampm > 0)
            hour = hour % 12 + (m.captured(p.ampm) == u"PM" ? 12 : 0);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", m.captured(p.year).toInt(),
                      m.captured(p.month).toInt(), m.captured(p.day).toInt(), hour, m.captured(p.minute).toInt());
        return text;
    };
    const SPreview american{
        "^Date/Time format:  (\\d\\d)/(\\d\\d)/(\\d{4}) (1[0-2]|[1-9]):([0-5]\\d) (AM|PM)$", 2, 1, 3, 4, 5, 6};
    const SPreview german{
        "^Date/Time format:  (\\d\\d)\\.(\\d\\d)\\.(\\d{4}) ([01]\\d|2[0-3]):([0-5]\\d)$", 1, 2, 3, 4, 5, 0};

    const std::string before = localMinute(std::time(nullptr));
    messages.ExpectDialog(QStringLiteral("appSettings"), [&](QDialog &dialog) {
        auto *group = dialog.findChild<QGroupBox *>(QStringLiteral("dateTimeGroup"));
        ASSERT_TRUE(group);
        const std::string first = shownMinute(group->title(), american);
        const std::string between = localMinute(std::time(nullptr));
        EXPECT_LE(before, first) << group->title().toStdString();
        EXPECT_LE(first, between) << group->title().toStdString();

        dialog.findChild<QComboBox *>(QStringLiteral("dateFormat"))->setCurrentIndex(3);
        dialog.findChild<QComboBox *>(QStringLiteral("timeFormat"))->setCurrentIndex(3);
        const std::string second = shownMinute(group->title(), german);
        const std::string after = localMinute(std::time(nullptr));
        EXPECT_LE(between, second) << group->title().toStdString();
        EXPECT_LE(second, after) << group->title().toStdString();
        dialog.reject();
    });
    frame->Execute(ID_SETTINGS);
}

TEST_F(SettingsDialog, AboutShowsTheProgramAndTheLanguageLibrary)
{
    messages.ExpectDialog(QStringLiteral("aboutDialog"), [](QDialog &dialog) {
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("version"))->text(), QStringLiteral("1.0"));
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("release"))->text(), QStringLiteral("1"));
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("build"))->text(), QStringLiteral("0"));
        EXPECT_EQ(dialog.findChild<QGroupBox *>(QStringLiteral("fileDescription"))->title(),
                  QStringLiteral("Vetradesk"));
        EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("comments"))->text(),
                  QStringLiteral("Linking Software for QUELIX Vetrameter"));
        EXPECT_FALSE(dialog.findChild<QLabel *>(QStringLiteral("languageVersion")));
        // No empty band under the last line of the box.
        dialog.adjustSize();
        auto *group = dialog.findChild<QGroupBox *>(QStringLiteral("fileDescription"));
        const int last = dialog.findChild<QLabel *>(QStringLiteral("copyright"))->geometry().bottom();
        EXPECT_LE(group->contentsRect().bottom() - last, group->layout()->contentsMargins().bottom() + 2);
        dialog.accept();
    });
    frame->Execute(ID_ABOUT);

    runSettings(QStringLiteral("Deutsch"), "ok");
    messages.ExpectDialog(QStringLiteral("aboutDialog"), [](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Über Vetradesk"));
        auto *library = dialog.findChild<QLabel *>(QStringLiteral("languageVersion"));
        ASSERT_TRUE(library);
        EXPECT_TRUE(library->text().startsWith(QStringLiteral("1.0.")));
        EXPECT_NE(dialog.findChild<QLabel *>(QStringLiteral("comments"))->text(),
                  QStringLiteral("Linking Software for QUELIX Vetrameter"));
        dialog.accept();
    });
    frame->Execute(ID_ABOUT);
}

}   // namespace
