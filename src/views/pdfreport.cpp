// The printout into a PDF file, for a desktop without a printer or a report
// to send on.
#include "views/tablecommands.h"

#include "gui/messageservice.h"
#include "project/vetradoc.h"
#include "res/resources.h"

#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QTableView>

std::optional<bool> CTableCommands::chooseSelectionOnly(int questionId) const
{
    const int selected = int(m_selected().size());
    if (selected == 0)
        return false;
    const int choice = m_messages.Choose(
        IMessageService::Icon::Question, Res::LoadString(questionId),
        {Res::FormatString(Res::IDS_PDF_SELECTED_OBJECTS, {selected}), Res::LoadString(Res::IDS_PDF_ALL_OBJECTS)});
    if (choice < 0)
        return std::nullopt;
    return choice == 0;
}

std::optional<QString> CTableCommands::askExportPath(int filterId, int captionId, const QString &suffix) const
{
    SFileDialog dialog;
    dialog.filter = Res::LoadString(filterId);
    dialog.defaultSuffix = suffix;
    const QString title = QFileInfo(m_document.GetTitle(false)).completeBaseName();
    dialog.initialName = (title.isEmpty() ? Res::LoadString(Res::IDS_APP_TITLE) : title) + u'.' + suffix;
    dialog.caption = Res::LoadString(captionId);
    return m_messages.AskSaveFile(dialog);
}

void CTableCommands::ExportPdfReport()
{
    const std::optional<bool> selectionOnly = chooseSelectionOnly(Res::IDS_PDF_WHICH_OBJECTS);
    if (!selectionOnly)
        return;
    const std::optional<QString> path = askExportPath(Res::IDS_PDF_FILTER, Res::IDS_PDF_CAPTION, QStringLiteral("pdf"));
    if (!path)
        return;
    // The writer only says that it could not start; the file says why.
    if (QFile probe(*path); !probe.open(QIODevice::WriteOnly)) {
        m_messages.Show(IMessageService::Icon::Error,
                        Res::FormatString(Res::IDS_ERR_FILE_WRITE, {*path, probe.errorString()}));
        return;
    }
    QString reason;
    bool printed;
    {
        QPdfWriter writer(*path);
        // The paper of the user's country, as a printer would have it.
        writer.setPageSize(
            QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4));
        writer.setResolution(600);
        writer.setTitle(Res::LoadString(Res::IDS_PRINT_TITLE));
        writer.setCreator(Res::LoadString(Res::IDS_APP_TITLE));
        printed = PrintTo(writer, *selectionOnly, &reason);
    }
    if (!printed) {
        QFile::remove(*path);   // half a report is no report
        m_messages.Show(IMessageService::Icon::Error,
                        Res::FormatString(Res::IDS_ERR_FILE_WRITE,
                                          {*path, reason.isEmpty() ? QFile(*path).errorString() : reason}));
    }
}
