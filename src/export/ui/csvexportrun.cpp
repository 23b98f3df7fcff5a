#include "export/ui/csvexportrun.h"

#include "export/csvexport.h"
#include "gui/messageservice.h"
#include "gui/progressdlg.h"
#include "res/resources.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QScopeGuard>

namespace {

class CProgressAdapter : public IExportProgress
{
public:
    explicit CProgressAdapter(CProgressDlg &dialog) : m_dialog(dialog) {}
    void setProgress(int permille) override { m_dialog.SetProgress(permille); }
    void setStatusText(const QString &text) override { m_dialog.SetStatusText(text); }

private:
    CProgressDlg &m_dialog;
};

// The full bar stays a moment, so the end can be seen.
void linger(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, int(deadline.remainingTime()));
}

}   // namespace

bool RunCsvExport(IMessageService &messages, QWidget *owner, const QList<TVetraObject> &objects,
                  CExportCsvDialog::Target target, const QString &path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool cursorShown = true;
    auto restoreCursor = [&] {
        if (cursorShown)
            QApplication::restoreOverrideCursor();
        cursorShown = false;
    };
    const auto restore = qScopeGuard(restoreCursor);
    CProgressDlg progress(owner);
    progress.setWindowModality(Qt::WindowModal);
    progress.SetStatusText(Res::LoadString(Res::IDS_EXPORT_PREPARING));
    progress.show();
    progress.SetProgress(0);
    CProgressAdapter adapter(progress);

    QStringList failures;
    switch (target) {
    case CExportCsvDialog::Target::OneFile: {
        QString reason;
        if (!WriteCsvOneFile(path, objects, &adapter, &reason))
            failures << Res::FormatString(Res::IDS_ERR_FILE_WRITE, {path, reason});
        break;
    }
    case CExportCsvDialog::Target::EachFile: {
        QList<SWriteFailure> each;
        if (!WriteCsvEachFile(path, objects, &adapter, nullptr, &each)) {
            QStringList lines;
            for (const SWriteFailure &f : each)
                lines << f.path + QStringLiteral(": ") + f.reason;
            failures << Res::FormatString(Res::IDS_CSV_EXPORT_FAILED_FILES,
                                          {int(each.size()), int(objects.size()), lines.join(u'\n')});
        }
        break;
    }
    case CExportCsvDialog::Target::Clipboard:
        QGuiApplication::clipboard()->setText(BuildCsvClipboardText(objects, &adapter));
        break;
    }
    progress.SetProgress(1000);
    linger(300);
    progress.hide();
    restoreCursor();

    QStringList skipped;
    for (const TVetraObject &o : objects)
        if (!HasDataFileText(o))
            skipped << Res::Format(u"%03d %s", {int(o.objectNumber), o.objectName});
    if (!failures.isEmpty())
        messages.Show(IMessageService::Icon::Error, failures.join(u'\n'));
    if (!skipped.isEmpty())
        messages.Show(IMessageService::Icon::Warning,
                      Res::FormatString(Res::IDS_CSV_EXPORT_SKIPPED, {int(skipped.size()), skipped.join(u'\n')}));
    return failures.isEmpty();
}
