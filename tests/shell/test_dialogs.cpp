// The settings dialog and the About box, run from the main window's menu.
#include "shellfixture.h"

#include "app/appsettings.h"

#include "data/timetext.h"
#include "res/resources.h"
#include "shell/commands.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include <ctime>

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

TEST_F(SettingsDialog, ThePreviewFollowsTheChosenPatterns)
{
    messages.ExpectDialog(QStringLiteral("appSettings"), [](QDialog &dialog) {
        auto *group = dialog.findChild<QGroupBox *>(QStringLiteral("dateTimeGroup"));
        ASSERT_TRUE(group);
        // The preview is of "now": compare with the same minute formatted here.
        auto expected = [](const char *date, const char *time) {
            const std::optional<std::tm> t = TimeText::LocalTime(std::int64_t(std::time(nullptr)));
            return QStringLiteral("Date/Time format:  ") + TimeText::FormatPicture(QString::fromLatin1(date), *t) + u' '
                   + TimeText::FormatPicture(QString::fromLatin1(time), *t);
        };
        EXPECT_EQ(group->title(), expected("MM/dd/yyyy", "h:mm tt"));
        dialog.findChild<QComboBox *>(QStringLiteral("dateFormat"))->setCurrentIndex(3);
        dialog.findChild<QComboBox *>(QStringLiteral("timeFormat"))->setCurrentIndex(3);
        EXPECT_EQ(group->title(), expected("dd.MM.yyyy", "HH:mm"));
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
        EXPECT_EQ(dialog.findChild<QGroupBox *>(QStringLiteral("fileDescription"))->title(), QStringLiteral("Vetradesk"));
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

} // namespace
