#include "views/objectlistpage.h"

#include "app/appsettings.h"
#include "data/objecttext.h"
#include "project/vetradoc.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

class CObjectListModel : public QAbstractTableModel
{
public:
    explicit CObjectListModel(const CVetraDoc &document, QObject *parent)
        : QAbstractTableModel(parent), m_document(document) {}

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : m_document.Current().GetCount();
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : Col_Count; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_document.Current().GetCount())
            return {};
        if (role == Qt::DisplayRole) {
            const object_t &o = m_document.Current().GetObject(index.row());
            return ObjectRowTexts(o, Settings::GetDatePattern(), Settings::GetTimePattern())[index.column()];
        }
        if (role == Qt::TextAlignmentRole)
            return index.column() == 1 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= Col_Count)
            return {};
        return ObjectColumnHeaders()[section];
    }

    void Rebuild()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const CVetraDoc &m_document;
};

CObjectListPage::CObjectListPage(CVetraDoc &document, QWidget *parent)
    : CTablePage(parent),
      m_document(document),
      m_model(new CObjectListModel(document, this)),
      m_view(new QTableView(this))
{
    setObjectName(QStringLiteral("objectListPage"));
    m_view->setObjectName(QStringLiteral("objectList"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(26);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setAlternatingRowColors(false);
    m_view->setStyleSheet(QStringLiteral("QTableView { background: rgb(242,245,253); color: rgb(34,36,76); }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CTablePage::CommandStatesChanged);
    m_document.RegisterView(this);
}

CObjectListPage::~CObjectListPage()
{
    m_document.UnregisterView(this);
}

void CObjectListPage::SelectAll()
{
    m_view->selectAll();
}

bool CObjectListPage::CanSelectAll() const
{
    return m_model->rowCount({}) > 0;
}

bool CObjectListPage::CanDelete() const
{
    return m_view->selectionModel()->hasSelection();
}

bool CObjectListPage::CanCopy() const
{
    return m_view->selectionModel()->hasSelection();
}

void CObjectListPage::Retranslate()
{
    m_model->Rebuild();
}

void CObjectListPage::OnDocumentUpdate(int)
{
    m_model->Rebuild();
    m_view->resizeColumnsToContents();
    Q_EMIT CommandStatesChanged();
}
