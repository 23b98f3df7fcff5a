#pragma once
// Paints the object table's cells through the render painters and edits the
// name cell.

#include <QStyledItemDelegate>

#include <functional>

class CObjectTableDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // Draws an object's detail cell into a rectangle.
    using DetailPainter = std::function<void(QPainter &, const QRect &, int object)>;

    explicit CObjectTableDelegate(QObject *parent = nullptr) : QStyledItemDelegate(parent) {}
    void SetDetailPainter(DetailPainter painter) { m_detail = std::move(painter); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // A name holds at most this many UTF-16 code units.
    static constexpr int kMaxNameLength = 65535;

private:
    DetailPainter m_detail;
};
