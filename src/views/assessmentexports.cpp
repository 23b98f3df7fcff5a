// The cover assessment's exports: the inspection report (PDF) and the Excel
// workbook, of all objects or the selection.
#include "views/tablecommands.h"

#include "app/appsettings.h"
#include "export/xlsxexport.h"
#include "gui/messageservice.h"
#include "gui/waitcursor.h"
#include "project/vetradoc.h"
#include "render/coverreport.h"
#include "res/resources.h"

#include <QLocale>

void CTableCommands::ExportInspectionReport()
{
    const std::optional<bool> selectionOnly = chooseSelectionOnly(Res::IDS_PDF_WHICH_OBJECTS);
    if (!selectionOnly)
        return;
    const std::optional<QString> path = askExportPath(Res::IDS_REPORT_FILTER, Res::IDS_REPORT_CAPTION,
                                                      QStringLiteral("pdf"));
    if (!path)
        return;
    QString reason;
    bool written;
    {
        CWaitCursor wait;
        Render::SInspectionReport report;
        report.look = tableLook();
        report.projectTitle = m_document.GetTitle(false).section(u'/', -1);
        report.objects = objectsToExport(*selectionOnly);
        report.settings = Settings::Current().assessment;
        report.bands = printBands(Res::IDS_REPORT_TITLE, report.look);
        // The paper of the user's country, as the printout has it.
        const QPageSize::PageSizeId paper = QLocale().measurementSystem() == QLocale::ImperialUSSystem
                                                ? QPageSize::Letter
                                                : QPageSize::A4;
        written = Render::WriteInspectionReportPdf(*path, report, paper, &reason);
    }
    if (!written)
        m_messages.Show(IMessageService::Icon::Error, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {*path, reason}));
}

void CTableCommands::ExportExcelWorkbook()
{
    const std::optional<bool> selectionOnly = chooseSelectionOnly(Res::IDS_XLSX_WHICH_OBJECTS);
    if (!selectionOnly)
        return;
    const std::optional<QString> path = askExportPath(Res::IDS_XLSX_FILTER, Res::IDS_XLSX_CAPTION,
                                                      QStringLiteral("xlsx"));
    if (!path)
        return;
    QString reason;
    bool written;
    {
        CWaitCursor wait;
        QList<TVetraObject> objects;
        for (const object_t *o : objectsToExport(*selectionOnly))
            objects.append(ToTransferObject(*o));
        written = WriteXlsxWorkbook(*path, objects, Settings::Current().assessment, nullptr, &reason);
    }
    if (!written)
        m_messages.Show(IMessageService::Icon::Error, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {*path, reason}));
}
