#include "views/objecttableview.h"

#include "render/tablecells.h"
#include "views/objecttablemodel.h"
#include "views/tabgrid.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>

using Model = CObjectTableModel;

void CObjectSelectionModel::select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command)
{
    QItemSelection pairs;
    const int lastColumn = Model::kColumns - 1;
    const int lastRow = model()->rowCount() - 1;
    for (const QItemSelectionRange &r : selection) {
        const int top = r.top() & ~1;
        const int bottom = std::min(r.bottom() | 1, lastRow);
        pairs.select(model()->index(top, 0), model()->index(bottom, lastColumn));
    }
    QItemSelectionModel::select(pairs, command);
}

CObjectTableView::CObjectTableView(CTabGrid &page) : QTableView(&page), m_page(page) {}

void CObjectTableView::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (event->button() == Qt::LeftButton && index.isValid() && Model::IsDetailRow(index.row()) && index.column() > 0
        && m_page.ClickDetail(Model::ObjectOfRow(index.row()), at - visualRect(index).topLeft(),
                              event->globalPosition().toPoint())) {
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && index.isValid() && index.column() == Col_Number
        && !Model::IsDetailRow(index.row()) && Render::GripperButtonRect(visualRect(index)).contains(at)) {
        m_page.SetObjectExpanded(Model::ObjectOfRow(index.row()), !index.data(Model::ExpandedRole).toBool(), true);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

QModelIndex CObjectTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (!next.isValid() || !Model::IsDetailRow(next.row()))
        return next;
    const QModelIndex current = currentIndex();
    const bool down = current.isValid() && next.row() > current.row();
    const int row = down ? next.row() + 1 : next.row() - 1;
    if (row >= model()->rowCount())
        return current;
    return model()->index(std::max(0, row), next.column());
}

void CObjectTableView::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const QModelIndex index = indexAt(at);
    if (index.isValid() && Model::IsDetailRow(index.row()) && index.column() > 0)
        m_page.HoverDetail(Model::ObjectOfRow(index.row()), at - visualRect(index).topLeft());
    else
        m_page.HoverDetail(-1, {});
}

void CObjectTableView::leaveEvent(QEvent *event)
{
    m_page.HoverDetail(-1, {});
    QTableView::leaveEvent(event);
}

bool CObjectTableView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = indexAt(help->pos());
    if (index.isValid() && Model::IsDetailRow(index.row()) && index.column() > 0) {
        const QRect cell = visualRect(index);
        if (const CTipAreas::STip *tip = m_page.DetailTip(Model::ObjectOfRow(index.row()),
                                                          help->pos() - cell.topLeft())) {
            QToolTip::showText(
                help->globalPos(),
                QStringLiteral("<b>%1</b><br>%2")
                    .arg(tip->title.toHtmlEscaped(), tip->text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"))),
                viewport(), tip->rect.translated(cell.topLeft()));
            return true;
        }
    } else if (index.isValid() && index.column() > 0) {
        // A text the cell cuts short is shown whole.
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect cell = visualRect(index);
        if (!Render::TextCellFits(viewport()->fontMetrics(), cell, text)) {
            QToolTip::showText(help->globalPos(), text, viewport(), cell);
            return true;
        }
    }
    QToolTip::hideText();
    return true;
}

void CObjectTableView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        m_page.ContextClick(index, event->globalPos());
}
