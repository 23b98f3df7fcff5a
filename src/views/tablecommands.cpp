#include "views/tablecommands.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "data/timetext.h"
#include "export/csvexport.h"
#include "export/ui/csvexportrun.h"
#include "export/ui/graphicexportrun.h"
#include "gui/messageservice.h"
#include "gui/qtclipboard.h"
#include "gui/waitcursor.h"
#include "project/vetradoc.h"
#include "render/tableprint.h"
#include "res/resources.h"
#include "views/objecttablemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QPrinter>
#include <QTableView>

#include <ctime>

CTableCommands::CTableCommands(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard,
                               const QTableView &table, QWidget &owner, Selected selected)
    : m_document(document), m_messages(messages), m_clipboard(clipboard), m_table(table), m_owner(owner),
      m_selected(std::move(selected))
{
}

void CTableCommands::Copy()
{
    CWaitCursor wait;
    const std::vector<int> objects = m_selected();
    Selection selection(std::size_t(m_document.Current().GetCount()), false);
    QList<TVetraObject> transfer;
    for (int object : objects) {
        selection[std::size_t(object)] = true;
        transfer << m_document.Current().ToTransferObject(object);
    }
    const QString text = BuildCsvClipboardText(transfer);
    try {
        m_clipboard.SetProjectDataAndText(m_document.BuildClipboardPayload(selection), text);
    } catch (const std::exception &) {
        // Without the private block other programs still get the text.
        QGuiApplication::clipboard()->setText(text);
    }
}

void CTableCommands::Paste()
{
    CWaitCursor wait;
    m_document.PasteFromClipboard(m_clipboard);
}

std::vector<const object_t *> CTableCommands::objectsToExport(bool selectionOnly) const
{
    const CVetraData &list = m_document.Current();
    std::vector<const object_t *> objects;
    if (selectionOnly) {
        for (int t : m_selected())
            objects.push_back(&list.GetObject(t));
    } else {
        for (int t = 0; t < list.GetCount(); ++t)
            objects.push_back(&list.GetObject(t));
    }
    return objects;
}

// Pictures and printouts show the rows as this table shows them.
Render::STableLook CTableCommands::tableLook() const
{
    Render::STableLook look;
    look.font = m_table.font();
    look.datePattern = Settings::GetDatePattern();
    look.timePattern = Settings::GetTimePattern();
    look.requiredCover = Settings::Current().assessment.requiredCover;
    for (int c = 0; c < CObjectTableModel::kColumns; ++c)
        look.widths[std::size_t(c)] = m_table.columnWidth(c);
    return look;
}

void CTableCommands::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Res::LoadString(Res::IDS_APP_TITLE));
    if (!m_messages.AskPrinter(printer, m_table.selectionModel()->hasSelection()))
        return;
    QString reason;
    // The pages the dialog asked for ("Pages from … to …").
    Render::SPageRange range;
    if (printer.printRange() == QPrinter::PageRange)
        range = {printer.fromPage(), printer.toPage()};
    if (!PrintTo(printer, printer.printRange() == QPrinter::Selection, &reason, range))
        m_messages.Show(IMessageService::Icon::Error, Res::FormatString(Res::IDS_PRINT_FAILED, {reason}));
}

bool CTableCommands::PrintTo(QPagedPaintDevice &device, bool selectionOnly, QString *reason, Render::SPageRange range)
{
    CWaitCursor wait;
    const std::vector<const object_t *> objects = objectsToExport(selectionOnly);
    const Render::STableLook look = tableLook();
    return Render::PrintTable(device, Render::PrintRows(objects, look), look, printBands(Res::IDS_PRINT_TITLE, look),
                              nullptr, reason, range);
}

Render::SPrintBands CTableCommands::printBands(int titleId, const Render::STableLook &look) const
{
    const CFileVersionInfo &version = ProgramVersionInfo();
    Render::SPrintBands bands;
    bands.left = Res::LoadString(Res::IDS_PRINT_MAKER);
    bands.centre = Res::LoadString(titleId);
    bands.right = version.HasInfo() ? Res::FormatString(Res::IDS_PRINT_VERSION,
                                                        {version.GetFileVersionPart(3), version.GetFileVersionPart(2),
                                                         version.GetFileVersionPart(1), version.GetFileVersionPart(0)})
                                    : Res::LoadString(Res::IDS_APP_TITLE);
    bands.pageFormat = Res::LoadString(Res::IDS_PRINT_PAGE);
    bands.fileName = m_document.GetTitle(false).section(u'/', -1);
    if (const std::optional<std::tm> now = TimeText::LocalTime(std::int64_t(std::time(nullptr))))
        bands.printedAt = TimeText::FormatPicture(look.datePattern, *now) + u' '
                          + TimeText::FormatPicture(look.timePattern, *now);
    return bands;
}

void CTableCommands::ExportGraphic()
{
    CExportBmpDialog dialog(m_messages, int(m_selected().size()), &m_owner);
    if (m_messages.RunDialog(dialog) != QDialog::Accepted)
        return;
    RunGraphicExport(m_messages, m_owner.window(),
                     objectsToExport(dialog.GetData() == CExportBmpDialog::Data::Selection), tableLook(),
                     dialog.GetWhat(), dialog.GetTarget(), dialog.GetPath(), dialog.GetFormat());
}

void CTableCommands::ExportCsv()
{
    CExportCsvDialog dialog(m_messages, int(m_selected().size()), &m_owner);
    if (m_messages.RunDialog(dialog) != QDialog::Accepted)
        return;
    QList<TVetraObject> objects;
    const CVetraData &list = m_document.Current();
    if (dialog.GetData() == CExportCsvDialog::Data::All) {
        for (int t = 0; t < list.GetCount(); ++t)
            objects << list.ToTransferObject(t);
    } else {
        for (int t : m_selected())
            objects << list.ToTransferObject(t);
    }
    RunCsvExport(m_messages, m_owner.window(), objects, dialog.GetTarget(), dialog.GetPath());
}
