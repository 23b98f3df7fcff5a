#include "views/objecttabledelegate.h"

#include "render/tablecells.h"
#include "views/objecttablemodel.h"

#include <QLineEdit>
#include <QPainter>

void CObjectTableDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int object = index.data(CObjectTableModel::ObjectIndexRole).toInt();
    const bool selected = option.state & QStyle::State_Selected;
    if (index.data(CObjectTableModel::IsDetailRole).toBool()) {
        if (index.column() == 0)
            Render::PaintDetailLeft(*painter, option.rect);
        else if (option.rect.height() > 0) {
            painter->fillRect(option.rect, Render::kRowBackground);
            if (m_detail) {
                painter->save();
                painter->setClipRect(option.rect);
                m_detail(*painter, option.rect, object);
                painter->restore();
            }
        }
        return;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (index.column() == 0) {
        // The gripper keeps its colours when selected.
        Render::PaintGripper(*painter, option.rect, text, index.data(CObjectTableModel::ExpandedRole).toBool());
        return;
    }
    const QVariant colour = index.data(Qt::ForegroundRole);
    Render::PaintTextCell(*painter, option.rect, text,
                          Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask, selected,
                          colour.isValid() ? colour.value<QColor>() : Render::kTextColour);
}

QWidget *CObjectTableDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setMaxLength(kMaxNameLength);
        line->setFrame(false);
    }
    return editor;
}
