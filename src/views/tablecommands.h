#pragma once
// CTableCommands: what the table page does with its objects rather than to
// them — printing, the PDF report, pictures, CSV files and the clipboard. It
// reads the document, the table's look (font, column widths) and the page's
// selection; the page hands these menu commands on to it.

#include "render/tablepicture.h"
#include "render/tableprint.h"

#include <QString>

#include <functional>
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
    void Copy();
    void Paste();

private:
    std::vector<const object_t *> objectsToExport(bool selectionOnly) const;
    Render::STableLook tableLook() const;

    CVetraDoc &m_document;
    IMessageService &m_messages;
    CQtProjectClipboard &m_clipboard;
    const QTableView &m_table;
    QWidget &m_owner;   // the dialogs' parent
    Selected m_selected;
};
