#pragma once
// The object table's widget and its selection model. An object's two rows
// are selected together; gripper clicks, clicks and hovering in a detail
// cell, its tooltips and right clicks go to the page.

#include <QItemSelectionModel>
#include <QTableView>

class CTabGrid;

class CObjectSelectionModel : public QItemSelectionModel
{
public:
    using QItemSelectionModel::QItemSelectionModel;
    using QItemSelectionModel::select;

    // Every range is widened to whole objects before it is applied, so
    // clicks, shift ranges, drags and keys keep working as usual.
    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override;
};

class CObjectTableView : public QTableView
{
public:
    explicit CObjectTableView(CTabGrid &page);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // Keys move between objects: a collapsed detail row has no height to show.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    CTabGrid &m_page;
};
