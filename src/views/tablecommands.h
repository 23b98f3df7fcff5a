#pragma once
// CTableCommands: what the table page does with its objects rather than to
// them — printing, the PDF report, pictures, CSV files and the clipboard. It
// reads the document, the table's look (font, column widths) and the page's
// selection; the page hands these menu commands on to it. The PDF report and
// the assessment's exports live in files of their own.

#include "render/tablepicture.h"
#include "render/tableprint.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct object_t;
class CQtProjectClipboard;
class CVetraDoc;
class IMessageService;
class QPagedPaintDevice;
class QTableView;
class QWidget;

class CTableCommands
{
public:
    // The selected objects' positions, in list order.
    using Selected = std::function<std::vector<int>()>;

    CTableCommands(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard,
                   const QTableView &table, QWidget &owner, Selected selected);

    void Print();
    // The printout of all objects or the selection into a PDF file the user picks.
    void ExportPdfReport();
    // The printout onto `device` (a printer or a PDF writer), the pages of
    // `range` only.
    bool PrintTo(QPagedPaintDevice &device, bool selectionOnly, QString *reason, Render::SPageRange range = {});
    void ExportGraphic();
    void ExportCsv();
    // The cover assessment as a PDF inspection report, and the objects as an
    // Excel workbook, of all objects or the selection.
    void ExportInspectionReport();
    void ExportExcelWorkbook();
    void Copy();
    void Paste();

private:
    std::vector<const object_t *> objectsToExport(bool selectionOnly) const;
    Render::STableLook tableLook() const;
    Render::SPrintBands printBands(int titleId, const Render::STableLook &look) const;
    // All objects (false) or the selection (true), asked only when there is
    // one; none when the user cancels.
    std::optional<bool> chooseSelectionOnly(int questionId) const;
    // The file to write, from a save dialog that proposes the project's name.
    std::optional<QString> askExportPath(int filterId, int captionId, const QString &suffix) const;

    CVetraDoc &m_document;
    IMessageService &m_messages;
    CQtProjectClipboard &m_clipboard;
    const QTableView &m_table;
    QWidget &m_owner;   // the dialogs' parent
    Selected m_selected;
};
