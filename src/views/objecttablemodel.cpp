#include "views/objecttablemodel.h"

#include "app/appsettings.h"
#include "data/coverassessment.h"
#include "data/objecttext.h"
#include "project/vetradoc.h"
#include "render/detailcell.h"
#include "render/tablecells.h"

CObjectTableModel::CObjectTableModel(CVetraDoc &document, QObject *parent)
    : QAbstractTableModel(parent), m_document(document), m_objects(document.Current().GetCount())
{
}

int CObjectTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2 * m_objects;
}

int CObjectTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant CObjectTableModel::data(const QModelIndex &index, int role) const
{
    const int object = ObjectOfRow(index.row());
    if (!index.isValid() || object >= m_document.Current().GetCount())
        return {};
    const bool detail = IsDetailRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (detail)
            return {};
        const object_t &o = m_document.Current().GetObject(object);
        if (index.column() == kNameColumn)
            return o.objectName;
        return ObjectRowTexts(o, Settings::GetDatePattern(), Settings::GetTimePattern())[std::size_t(index.column())];
    }
    case Qt::ForegroundRole: {
        // The minimum cover of an object below the required cover, in the warning colour.
        const std::optional<double> &required = Settings::Current().assessment.requiredCover;
        if (detail || index.column() != Col_MinCover || !required
            || !HasCoverBelow(m_document.Current().GetObject(object), *required))
            return {};
        return Render::kWarningColour;
    }
    case Qt::AccessibleTextRole:
        // The expanded object's drawing, for screen readers; painted only otherwise.
        if (detail && index.column() == 1 && m_document.Current().GetObject(object).expanded)
            return Render::DetailAccessibleText(m_document.Current().GetObject(object));
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == 0)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int((index.column() == kNameColumn ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter);
    case ObjectIndexRole: return object;
    case IsDetailRole: return detail;
    case ExpandedRole: return m_document.Current().GetObject(object).expanded;
    default: return {};
    }
}

bool CObjectTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != kNameColumn || IsDetailRow(index.row()))
        return false;
    // Leaving the editor without a change is no change to the project.
    if (value.toString() == m_document.Current().GetObject(ObjectOfRow(index.row())).objectName)
        return false;
    Q_EMIT RenameRequested(ObjectOfRow(index.row()), value.toString());
    return true;
}

Qt::ItemFlags CObjectTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == kNameColumn && !IsDetailRow(index.row()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant CObjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    if (role == Qt::DisplayRole)
        return ObjectColumnHeaders()[std::size_t(section)];
    return {};
}

void CObjectTableModel::Rebuild()
{
    beginResetModel();
    m_objects = m_document.Current().GetCount();
    endResetModel();
}

namespace {

// Runs of consecutive positions, as [first, last] pairs in ascending order.
std::vector<std::pair<int, int>> runsOf(const std::vector<int> &positions)
{
    std::vector<std::pair<int, int>> runs;
    for (int p : positions) {
        if (!runs.empty() && runs.back().second + 1 == p)
            runs.back().second = p;
        else
            runs.emplace_back(p, p);
    }
    return runs;
}

}   // namespace

void CObjectTableModel::ObjectsInserted(const std::vector<int> &positions)
{
    // Ascending: each run's place counts the runs before it as there.
    for (const auto &[first, last] : runsOf(positions)) {
        beginInsertRows({}, HeaderRowOf(first), DetailRowOf(last));
        m_objects += last - first + 1;
        endInsertRows();
    }
}

void CObjectTableModel::ObjectsRemoved(const std::vector<int> &positions)
{
    // From the last run, so that the earlier ones keep their rows.
    const auto runs = runsOf(positions);
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        beginRemoveRows({}, HeaderRowOf(it->first), DetailRowOf(it->second));
        m_objects -= it->second - it->first + 1;
        endRemoveRows();
    }
}

void CObjectTableModel::ObjectsReordered(const std::vector<int> &sourceOf)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPlace(sourceOf.size());
    for (std::size_t i = 0; i < sourceOf.size(); ++i)
        newPlace[std::size_t(sourceOf[i])] = int(i);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const int object = ObjectOfRow(index.row());
        const int moved = object < int(newPlace.size()) ? newPlace[std::size_t(object)] : object;
        after << this->index(2 * moved + index.row() % 2, index.column());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CObjectTableModel::RefreshTexts()
{
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
}

void CObjectTableModel::RefreshObject(int object)
{
    if (object < 0 || object >= m_document.Current().GetCount())
        return;
    Q_EMIT dataChanged(index(HeaderRowOf(object), 0), index(DetailRowOf(object), kColumns - 1));
}
