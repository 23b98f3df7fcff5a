#pragma once
// CTabGrid: the object table — every object of the project as a header row
// with its eight columns and a detail row that shows the object when it is
// expanded. It sorts on a click on a column header, keeps an object's two
// rows selected together, renames in place, deletes, copies and pastes, and
// changes time stamps and regional settings of the selection.

#include "project/documentui.h"
#include "render/detailcell.h"
#include "render/tablepicture.h"
#include "views/detailheights.h"
#include "views/tablecommands.h"
#include "views/tablepage.h"

#include <map>
#include <vector>

class QPagedPaintDevice;
class CObjectTableDelegate;
class CObjectTableModel;
class CObjectTableView;
class CQtProjectClipboard;
class CVetraDoc;
class IMessageService;
class QItemSelection;
class QTableView;
class QTimer;

class CTabGrid : public CTablePage, public IDocumentView
{
    Q_OBJECT
public:
    static constexpr int kColumnHeaderHeight = 26;
    static constexpr int kHeaderRowHeight = 22;
    static constexpr int kDefaultColumnWidth = 100;
    // Above this many rows the selection is not recounted while it changes.
    static constexpr int kCountLimitRows = 40000;

    CTabGrid(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard, QWidget *parent = nullptr);
    ~CTabGrid() override;

    // Printing, exporting and the clipboard: CTableCommands.
    void Print() override { m_commands.Print(); }
    void ExportPdfReport() override { m_commands.ExportPdfReport(); }
    bool PrintTo(QPagedPaintDevice &device, bool selectionOnly, QString *reason)
    {
        return m_commands.PrintTo(device, selectionOnly, reason);
    }
    void ExportGraphic() override { m_commands.ExportGraphic(); }
    void ExportCsv() override { m_commands.ExportCsv(); }
    void ExportInspectionReport() override { m_commands.ExportInspectionReport(); }
    void ExportExcelWorkbook() override { m_commands.ExportExcelWorkbook(); }
    void SelectAll() override;
    void DeleteSelection() override;
    void Copy() override { m_commands.Copy(); }
    void Paste() override { m_commands.Paste(); }
    bool CanSelectAll() const override;
    bool CanDelete() const override;
    bool CanCopy() const override;
    QString CurrentStatus() const override { return StatusLine(); }
    void Retranslate() override;

    void OnDocumentUpdate(int index) override;
    // Follows the document change by change; only a change of everything
    // (open, close, a new list) builds the rows anew.
    void OnDocumentChange(const SDocumentChange &change) override;

    // The sort of a click on column `column`'s header.
    void SortByColumn(int column);
    // With `animated` the row grows or shrinks by 15 px per repaint.
    void SetObjectExpanded(int object, bool expanded, bool animated = false);
    void ExpandAll(bool expand);
    // Grows the name column (and columns 2-7) into the free width.
    void FitColumnsToWindow();
    // Opens what a right click on the cell opens (menus run at `globalPos`).
    void ContextClick(const QModelIndex &index, const QPoint &globalPos);
    // Time stamps and regional setting of the selected objects, as the
    // context actions change them.
    void AdjustTimeOfSelection(int clickedObject);
    void SetRegionalOfSelection(std::uint8_t regional);

    QTableView &Table() const;
    // Objects whose header row is selected (or whose detail row holds the focus).
    std::vector<int> SelectedObjects() const;
    QString StatusLine() const { return m_selectionPart + m_progressPart; }
    // The height a detail row takes when its object is expanded.
    int DetailHeight(int object) const;
    // What the detail rows are wide: columns 1 to 7.
    int DetailWidth() const;
    // The mouse over an object's detail cell (cell coordinates); -1: elsewhere.
    void HoverDetail(int object, const QPoint &local);
    // A click in an object's detail cell; false when it hit nothing.
    bool ClickDetail(int object, const QPoint &local, const QPoint &globalPos);
    const CTipAreas::STip *DetailTip(int object, const QPoint &local) const;
    int HoverId() const { return m_hoverId; }
    bool IsAnimating() const { return !m_animations.empty(); }
    // Expand all gave some rows estimated heights that are being measured.
    bool IsMeasuring() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void initialise();
    void rebuild();
    void refreshObject(int object);
    void objectsInserted(const std::vector<int> &positions);
    void objectsRemoved(const std::vector<int> &positions);
    void objectsReordered(const std::vector<int> &sourceOf);
    // Per-object state of the page that an insert, removal or reorder shifts;
    // true when rows were animating (their heights are to be set anew).
    bool forgetObjectState();
    void applyAllRowHeights();
    void applyRowHeight(int object);
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onGripperClicked(int object);
    void updateSelectionPart(bool force);
    void setProgressPart(const QString &text);
    void showSortIndicator();
    std::vector<int> objectsOfSelectedRows() const;
    std::uint8_t chooseRegional(const QRect &cell, const QPoint &cursor, std::uint8_t current);
    void paintDetail(QPainter &painter, const QRect &rect, int object);

    void animate();
    // Measures expanded rows that carry an estimated height, for a few
    // milliseconds at a time, so the window keeps answering.
    void measureStep();

    CVetraDoc &m_document;
    IMessageService &m_messages;
    CQtProjectClipboard &m_clipboard;
    CObjectTableModel *m_model;
    CObjectTableDelegate *m_delegate;
    CObjectTableView *m_table;
    QTimer *m_animationTimer;
    CTableCommands m_commands;
    QTimer *m_measureTimer;
    mutable CDetailHeights m_heights;   // a cache: measuring changes nothing the page shows
    int m_measureNext = 0;              // where the measuring goes on
    int m_measureLeft = 0;              // rows it has still to look at
    int m_measured = 0;                 // for the progress text
    QString m_selectionPart;
    QString m_progressPart;
    std::map<int, Render::SDetailAreas> m_areas;   // by object, from the last drawing
    std::map<int, bool> m_animations;              // object → growing (true) or shrinking
    bool m_relayoutQueued = false;
    int m_hoverObject = -1;
    int m_hoverId = 0;
    bool m_fitPending = false;
};
