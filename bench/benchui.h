#pragma once
// A message service that asks nothing, for the window benchmarks.

#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "gui/documentui.h"
#include "gui/messageservice.h"
#include "gui/qtclipboard.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "views/tabgrid.h"

#include <QDialog>
#include <QTemporaryDir>

namespace Bench {

class CNoMessages : public IMessageService
{
public:
    Answer Show(Icon, const QString &, Buttons, const QString &, Answer) override { return Yes; }
    int Choose(Icon, const QString &, const QStringList &) override { return 0; }
    std::optional<QString> AskOpenFile(const SFileDialog &) override { return std::nullopt; }
    QStringList AskOpenFiles(const SFileDialog &) override { return {}; }
    std::optional<QString> AskSaveFile(const SFileDialog &) override { return std::nullopt; }
    int RunDialog(QDialog &) override { return QDialog::Rejected; }
    bool AskPrinter(QPrinter &, bool) override { return false; }
};

// What a window benchmark needs around it: the stream layer and settings in
// a folder of their own, on the offscreen platform.
class CWindowEnvironment
{
public:
    CWindowEnvironment()
    {
        StreamIO::InitStreamLayer();
        Settings::Attach(&m_store, m_dir.filePath(QStringLiteral("vetradesk")));
        Settings::LoadSettings();
    }
    ~CWindowEnvironment()
    {
        Settings::Attach(nullptr, QString());
        StreamIO::ShutdownStreamLayer();
    }

private:
    QTemporaryDir m_dir;
    CSettingsStore m_store{m_dir.filePath(QStringLiteral("settings.json"))};
};

// An object table page, shown, on a document of its own.
struct STablePage
{
    CNoMessages messages;
    CDocumentUi ui{messages};
    CVetraDoc document{ui};
    CQtProjectClipboard clipboard;
    CTabGrid page{document, messages, clipboard};

    STablePage()
    {
        page.resize(1400, 900);
        page.show();
    }
};

}   // namespace Bench
