// One side of the clipboard test between two running programs, on a real X
// server:
//   clipboardpeer copy PROJECT.qxs FLAGS   copies objects 1 and 3 from the
//                                          object table, says "ready", and
//                                          stays until "done" (it owns the
//                                          clipboard: there is no manager)
//   clipboardpeer paste OUT.qxs FLAGS      pastes into an empty project,
//                                          saves it, says "done"
// FLAGS is a folder for the two flag files. Exit 0 on success.
#include "gui/documentui.h"
#include "gui/guardedapplication.h"
#include "gui/messageservice.h"
#include "gui/qtclipboard.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "views/objecttablemodel.h"
#include "views/tabgrid.h"

#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QItemSelectionModel>
#include <QTableView>

#include <cstdio>

namespace {

class CNoQuestions : public IMessageService
{
public:
    Answer Show(Icon, const QString &text, Buttons, const QString &, Answer) override
    {
        std::fprintf(stderr, "clipboardpeer: %s\n", qPrintable(text));
        return Cancel;
    }
    int Choose(Icon, const QString &, const QStringList &) override { return -1; }
    std::optional<QString> AskOpenFile(const SFileDialog &) override { return std::nullopt; }
    QStringList AskOpenFiles(const SFileDialog &) override { return {}; }
    std::optional<QString> AskSaveFile(const SFileDialog &) override { return std::nullopt; }
    int RunDialog(QDialog &) override { return QDialog::Rejected; }
    bool AskPrinter(QPrinter &, bool) override { return false; }
};

bool waitFor(const QString &flag)
{
    const QDeadlineTimer deadline(30000);
    while (!QFile::exists(flag)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void touch(const QString &flag)
{
    QFile f(flag);
    f.open(QIODevice::WriteOnly);
}

}   // namespace

int main(int argc, char **argv)
{
    CGuardedApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    const QString flags = QString::fromLocal8Bit(argv[3]);
    StreamIO::InitStreamLayer();
    CNoQuestions messages;
    CDocumentUi ui(messages);
    CVetraDoc document(ui);
    CQtProjectClipboard clipboard;
    CTabGrid page(document, messages, clipboard);
    page.show();
    int code = 0;
    if (mode == u"copy") {
        if (!document.OpenProject(file, false))
            return 3;
        for (int object : {1, 3})
            page.Table().selectionModel()->select(
                page.Table().model()->index(CObjectTableModel::HeaderRowOf(object), 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        page.Copy();
        touch(flags + QStringLiteral("/ready"));
        code = waitFor(flags + QStringLiteral("/done")) ? 0 : 4;
    } else if (mode == u"paste") {
        if (!waitFor(flags + QStringLiteral("/ready")))
            return 5;
        // The owner answers through the X server: under load the first
        // request may find nothing yet.
        const QDeadlineTimer deadline(20000);
        while (!document.CanPaste(clipboard)) {
            if (deadline.hasExpired())
                return 6;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        }
        page.Paste();
        code = document.SaveToPath(file) ? 0 : 7;
        touch(flags + QStringLiteral("/done"));
    } else {
        code = 2;
    }
    StreamIO::ShutdownStreamLayer();
    return code;
}
