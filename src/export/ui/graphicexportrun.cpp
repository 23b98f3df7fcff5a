#include "export/ui/graphicexportrun.h"

#include "export/csvexport.h"
#include "gui/messageservice.h"
#include "gui/progressdlg.h"
#include "gui/waitcursor.h"
#include "res/resources.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>

namespace {

void linger(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, int(deadline.remainingTime()));
}

}   // namespace

bool RunGraphicExport(IMessageService &messages, QWidget *owner, const std::vector<const object_t *> &objects,
                      const Render::STableLook &look, Render::NRowsShown shown, CExportBmpDialog::Target target,
                      const QString &path, Render::NImageFormat format)
{
    QString failure;
    {
        CWaitCursor wait;
        CProgressDlg progress(owner);
        progress.setWindowModality(Qt::WindowModal);
        progress.SetStatusText(Res::LoadString(Res::IDS_EXPORT_PREPARING));
        progress.show();
        progress.SetProgress(0);
        auto write = [&](const QString &file, const std::vector<const object_t *> &rows) {
            const QImage picture = Render::RenderTablePicture(rows, shown, look);
            if (picture.isNull()) {
                failure = Res::LoadString(Res::IDS_GRAPHIC_TOO_LARGE);
                return false;
            }
            QByteArray bytes;
            QString reason;
            if (!Render::EncodeImage(picture, format, bytes, &reason)) {
                failure = Res::LoadString(Res::IDS_GRAPHIC_ENCODING_FAILED);
                return false;
            }
            QSaveFile out(file);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
                failure = Res::FormatString(Res::IDS_ERR_FILE_WRITE, {file, out.errorString()});
                return false;
            }
            return true;
        };
        switch (target) {
        case CExportBmpDialog::Target::Clipboard: {
            // Nothing selected gives the column header row alone.
            const QImage picture = Render::RenderTablePicture(objects, shown, look);
            QClipboard *clipboard = QGuiApplication::clipboard();
            if (picture.isNull()) {
                failure = Res::LoadString(Res::IDS_GRAPHIC_TOO_LARGE);
            } else {
                clipboard->setImage(picture);
                // A clipboard that refused the picture says nothing itself.
                if (clipboard->image().size() != picture.size())
                    failure = Res::LoadString(Res::IDS_GRAPHIC_CLIPBOARD_FAILED);
            }
            break;
        }
        case CExportBmpDialog::Target::OneFile:
            if (objects.empty())
                break;   // no picture of nothing
            progress.SetStatusText(Res::FormatString(Res::IDS_EXPORT_CREATING, {path}));
            write(path, objects);
            break;
        case CExportBmpDialog::Target::EachFile:
            for (std::size_t c = 0; c < objects.size() && failure.isEmpty(); ++c) {
                const QString file = EachFileName(path, int(c + 1));
                progress.SetProgress(int(800 * c / objects.size()) + 100);
                progress.SetStatusText(Res::FormatString(Res::IDS_GRAPHIC_EXPORTING, {file}));
                write(file, {objects[c]});
            }
            break;
        }
        progress.SetProgress(1000);
        linger(300);
    }
    if (!failure.isEmpty())
        messages.Show(IMessageService::Icon::None, failure);
    return failure.isEmpty();
}
