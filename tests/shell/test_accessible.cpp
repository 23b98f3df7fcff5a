// What a screen reader gets: every control a user can reach in the main
// window and the dialogs has a name and a description, through Qt's
// accessibility interfaces (what the accessibility bus carries).
#include "shellfixture.h"

#include "export/ui/exportbmpdialog.h"
#include "export/ui/exportcsvdialog.h"
#include "gui/commentdlg.h"
#include "gui/datetimedlg.h"
#include "gui/synchronizedlg.h"
#include "shell/aboutdlg.h"
#include "shell/appsettingsdlg.h"
#include "streamio/portmap.h"
#include "wizard/devfoundpage.h"
#include "wizard/devselectsheet.h"

#include <QAccessible>
#include <QAccessibleInterface>

using TestSupport::ShellTest;

namespace {

bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::ToolBar:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Slider:
    case QAccessible::PageTab:
    case QAccessible::ProgressBar: return true;
    default: return false;
    }
}

// "role 'name' (object)" of each visible control below `root` without a name
// or a description.
QStringList unnamed(QAccessibleInterface *root, int depth = 0)
{
    QStringList missing;
    if (!root || depth > 20 || root->state().invisible)
        return missing;
    if (isControl(root->role())) {
        const QString name = root->text(QAccessible::Name);
        const QString description = root->text(QAccessible::Description);
        // A description that repeats the name tells nothing more.
        if (name.trimmed().isEmpty() || description.trimmed().isEmpty() || description == name)
            missing << QStringLiteral("%1 '%2' (%3)")
                           .arg(int(root->role()))
                           .arg(name, root->object() ? root->object()->objectName() : QString());
    }
    if (root->role() == QAccessible::Table)
        return missing;   // its cells are data, not controls
    for (int i = 0; i < root->childCount(); ++i)
        missing += unnamed(root->child(i), depth + 1);
    return missing;
}

QStringList unnamedIn(QWidget &widget)
{
    widget.show();
    QTest::qWait(0);
    return unnamed(QAccessible::queryAccessibleInterface(&widget));
}

class Accessible : public ShellTest
{
};

TEST_F(Accessible, EveryControlOfTheWindowHasANameAndADescription)
{
    const QStringList missing = unnamedIn(*frame);
    EXPECT_TRUE(missing.isEmpty()) << qPrintable(missing.join(u'\n'));
}

TEST_F(Accessible, EveryControlOfTheDialogsHasANameAndADescription)
{
    CAppSettings settings(frame.get());
    CAboutDlg about(frame.get());
    CCommentDlg comment(frame.get());
    CDateTimeDlg time(frame.get());
    CSynchronizeDlg sync(5, 2, frame.get());
    CExportCsvDialog csv(messages, 2, frame.get());
    CExportBmpDialog bmp(messages, 2, frame.get());
    CDevSelectSheet wizard(Res::IDS_WIZARD_CAPTION, {messages, desktop, frame->Instruments()}, frame.get());
    const std::pair<const char *, QWidget *> dialogs[] = {
        {"settings", &settings}, {"about", &about},    {"comment", &comment},    {"time", &time},
        {"synchronize", &sync},  {"csv export", &csv}, {"graphic export", &bmp}, {"wizard", &wizard},
    };
    // The wizard's search page as well, searching ports that lead nowhere.
    QHash<std::uint32_t, QString> ports;
    for (std::uint32_t n = 1; n <= 256; ++n)
        ports.insert(n, QStringLiteral("/nonexistent/ttyVM%1").arg(n));
    StreamIO::SetPortMap(ports);
    messages.ExpectBox(QStringLiteral("No device found."), IMessageService::Cancel);
    wizard.show();
    wizard.next();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.FoundPage()->IsSearching(); }, 20000));
    const QStringList found = unnamed(QAccessible::queryAccessibleInterface(&wizard));
    EXPECT_TRUE(found.isEmpty()) << "wizard's search page:\n" << qPrintable(found.join(u'\n'));
    wizard.back();
    StreamIO::SetPortMap({});
    EXPECT_TRUE(messages.Done());
    for (const auto &[name, dialog] : dialogs) {
        const QStringList missing = unnamedIn(*dialog);
        EXPECT_TRUE(missing.isEmpty()) << name << ":\n" << qPrintable(missing.join(u'\n'));
        dialog->hide();
    }
}

}   // namespace
