#include "views/tabgrid.h"

#include "app/appsettings.h"
#include "data/objecttext.h"
#include "data/statistics.h"
#include "data/units.h"
#include "gui/commentdlg.h"
#include "gui/datetimedlg.h"
#include "gui/messageservice.h"
#include "gui/waitcursor.h"
#include "project/projectedits.h"
#include "project/vetradoc.h"
#include "render/detailcell.h"
#include "render/tablecells.h"
#include "res/resources.h"
#include "views/objecttabledelegate.h"
#include "views/objecttablemodel.h"
#include "views/objecttableview.h"

#include <QActionGroup>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace {

// Pixels a detail row grows or shrinks per repaint while it animates.
constexpr int kAnimationStep = 15;
constexpr int kAnimationIntervalMs = 15;
constexpr int kUpdateProgressEvery = 31;
constexpr int kExpandProgressEvery = 11;
constexpr int kFitReserve = 20;
constexpr int kFitNameShare = 360;

// Ascending sort mode of each column; the descending one is the next.
constexpr std::array<NSortMode, Col_Count> kAscendingMode = {Sort_Number,           Sort_Name,       Sort_Time,
                                                             Sort_MinCover,         Sort_MaxCover,   Sort_Regional,
                                                             Sort_MeasurementCount, Sort_StorageMode};

int columnOfMode(int mode)
{
    for (int c = 0; c < CObjectTableModel::kColumns; ++c)
        if (mode == kAscendingMode[std::size_t(c)] || mode == kAscendingMode[std::size_t(c)] + 1)
            return c;
    return -1;
}

}   // namespace

CTabGrid::CTabGrid(CVetraDoc &document, IMessageService &messages, CQtProjectClipboard &clipboard, QWidget *parent)
    : CTablePage(parent), m_document(document), m_messages(messages), m_clipboard(clipboard),
      m_model(new CObjectTableModel(document, this)), m_delegate(new CObjectTableDelegate(this)),
      m_table(new CObjectTableView(*this)), m_animationTimer(new QTimer(this)),
      m_commands(document, messages, clipboard, *m_table, *this, [this] { return SelectedObjects(); }),
      m_measureTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("tabGrid"));
    m_table->setObjectName(QStringLiteral("objectTable"));
    m_table->setModel(m_model);
    delete m_table->selectionModel();
    m_table->setSelectionModel(new CObjectSelectionModel(m_model, m_table));
    m_table->setItemDelegate(m_delegate);
    m_delegate->SetDetailPainter([this](QPainter &p, const QRect &r, int object) { paintDetail(p, r, object); });
    m_table->setMouseTracking(true);
    m_animationTimer->setInterval(kAnimationIntervalMs);
    connect(m_animationTimer, &QTimer::timeout, this, &CTabGrid::animate);
    m_measureTimer->setInterval(0);
    connect(m_measureTimer, &QTimer::timeout, this, &CTabGrid::measureStep);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::SelectedClicked);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The view would step by the mean row height, which tall details inflate:
    // a wheel notch scrolls a few header rows' worth instead.
    m_table->verticalScrollBar()->setSingleStep(kHeaderRowHeight);
    m_table->setWordWrap(false);
    m_table->setCornerButtonEnabled(false);
    QHeaderView *rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(kHeaderRowHeight);
    QHeaderView *columns = m_table->horizontalHeader();
    columns->setFixedHeight(kColumnHeaderHeight);
    columns->setDefaultSectionSize(kDefaultColumnWidth);
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    connect(columns, &QHeaderView::sectionClicked, this, &CTabGrid::SortByColumn);
    // Wider or narrower columns lay the expanded objects out anew.
    connect(columns, &QHeaderView::sectionResized, this, [this](int column) {
        if (column > 0 && !m_relayoutQueued) {
            m_relayoutQueued = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_relayoutQueued = false;
                    for (int t = 0, n = m_document.Current().GetCount(); t < n; ++t)
                        if (m_document.Current().GetObject(t).expanded && !m_animations.count(t))
                            applyRowHeight(t);
                },
                Qt::QueuedConnection);
        }
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CTabGrid::onSelectionChanged);
    connect(m_model, &CObjectTableModel::RenameRequested, this,
            [this](int object, const QString &name) { ProjectEdits::Rename(m_document, object, name); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    initialise();
    m_fitPending = true;   // the first showing fits the columns, with objects or without
    m_document.RegisterView(this);
}

CTabGrid::~CTabGrid()
{
    m_document.UnregisterView(this);
}

QTableView &CTabGrid::Table() const
{
    return *m_table;
}

int CTabGrid::DetailWidth() const
{
    int width = 0;
    for (int c = 1; c < CObjectTableModel::kColumns; ++c)
        width += m_table->columnWidth(c);
    return width;
}

int CTabGrid::DetailHeight(int object) const
{
    if (object < 0 || object >= m_document.Current().GetCount())
        return 0;
    return m_heights.Height(m_document.Current().GetObject(object), m_table->font(), DetailWidth());
}

void CTabGrid::paintDetail(QPainter &painter, const QRect &rect, int object)
{
    if (object < 0 || object >= m_document.Current().GetCount())
        return;
    Render::SDetailOptions options;
    options.font = m_table->font();
    options.hoverId = m_hoverObject == object ? m_hoverId : Render::Area_None;
    options.requiredCover = Settings::Current().assessment.requiredCover;
    Render::SDetailAreas &areas = m_areas[object];
    Render::PaintDetail(&painter, rect, m_document.Current().GetObject(object), options, &areas);
}

void CTabGrid::HoverDetail(int object, const QPoint &local)
{
    int id = Render::Area_None;
    if (object >= 0) {
        const auto it = m_areas.find(object);
        if (it != m_areas.end())
            if (const auto hit = it->second.clickable.HitTest(local))
                id = hit->id;
    }
    m_table->viewport()->setCursor(id != Render::Area_None ? Qt::PointingHandCursor : Qt::ArrowCursor);
    const int before = m_hoverObject;
    if (id == m_hoverId && object == m_hoverObject)
        return;
    m_hoverObject = id != Render::Area_None ? object : -1;
    m_hoverId = id;
    for (int changed : {before, m_hoverObject})
        if (changed >= 0 && changed < m_document.Current().GetCount())
            m_table->viewport()->update(
                m_table->visualRect(m_model->index(CObjectTableModel::DetailRowOf(changed), 1)));
}

const CTipAreas::STip *CTabGrid::DetailTip(int object, const QPoint &local) const
{
    const auto it = m_areas.find(object);
    return it == m_areas.end() ? nullptr : it->second.tips.At(local);
}

bool CTabGrid::ClickDetail(int object, const QPoint &local, const QPoint &globalPos)
{
    const auto it = m_areas.find(object);
    if (it == m_areas.end())
        return false;
    const auto hit = it->second.clickable.HitTest(local);
    if (!hit)
        return false;
    m_hoverId = Render::Area_None;
    m_hoverObject = -1;
    const object_t &o = m_document.Current().GetObject(object);
    switch (hit->id) {
    case Render::Area_Ordering: ProjectEdits::SetDiagramOrder(m_document, object, o.diagramOrder == 1 ? 0 : 1); break;
    case Render::Area_Comment: {
        CCommentDlg dialog(this);
        dialog.SetComment(o.comment);
        if (m_messages.RunDialog(dialog) == QDialog::Accepted)
            ProjectEdits::SetComment(m_document, object, dialog.GetComment());
        break;
    }
    case Render::Area_Regional: {
        const QRect cell = m_table->visualRect(m_model->index(CObjectTableModel::DetailRowOf(object), 1));
        const QRect text = hit->rect.translated(cell.topLeft());
        const std::uint8_t regional = chooseRegional(text, text.center(), o.regional);
        if (regional != 0xFF)
            ProjectEdits::SetRegional(m_document, {object}, regional);
        break;
    }
    default: return false;
    }
    Q_UNUSED(globalPos);
    return true;
}

// ---------------------------------------------------------------------------
// Building the rows

void CTabGrid::initialise()
{
    m_table->clearSpans();
    QHeaderView *columns = m_table->horizontalHeader();
    columns->setSortIndicatorShown(false);
    const int margin = 2 * columns->style()->pixelMetric(QStyle::PM_HeaderMargin) + 16;
    const std::array<int, Col_Count> widths = Render::DefaultColumnWidths(
        columns->font(), m_table->font(), margin, Settings::GetDatePattern(), Settings::GetTimePattern());
    for (int c = 0; c < CObjectTableModel::kColumns; ++c)
        m_table->setColumnWidth(c, widths[std::size_t(c)]);
    updateSelectionPart(true);
}

void CTabGrid::applyRowHeight(int object)
{
    m_animations.erase(object);
    const bool expanded = m_document.Current().GetObject(object).expanded;
    m_table->setRowHeight(CObjectTableModel::DetailRowOf(object), expanded ? DetailHeight(object) : 0);
}

void CTabGrid::animate()
{
    // One step per repaint for every row that is still growing or shrinking.
    for (auto it = m_animations.begin(); it != m_animations.end();) {
        const int object = it->first;
        const int row = CObjectTableModel::DetailRowOf(object);
        int height = m_table->rowHeight(row);
        bool done = false;
        if (it->second) {
            const int target = DetailHeight(object);
            height = std::min(target, height + kAnimationStep);
            done = height >= target;
        } else {
            height -= kAnimationStep;
            if (height <= 2) {
                height = 0;
                done = true;
            }
        }
        m_table->setRowHeight(row, height);
        it = done ? m_animations.erase(it) : std::next(it);
    }
    if (m_animations.empty())
        m_animationTimer->stop();
}

void CTabGrid::rebuild()
{
    m_areas.clear();
    m_animations.clear();
    m_hoverObject = -1;
    m_hoverId = 0;
    m_table->setUpdatesEnabled(false);
    initialise();
    m_model->Rebuild();
    CVetraData &list = m_document.Current();
    const int count = list.GetCount();
    QItemSelection selection;
    for (int t = 0; t < count; ++t) {
        if (t % kUpdateProgressEvery == 0)
            setProgressPart(
                Res::FormatString(Res::IDS_STATUS_PROGRESS, {Res::LoadString(Res::IDS_STATUS_UPDATING), t + 1}));
        if (list.GetObject(t).selected) {
            list.SetSelected(t, false);
            selection.select(m_model->index(CObjectTableModel::HeaderRowOf(t), 0),
                             m_model->index(CObjectTableModel::DetailRowOf(t), CObjectTableModel::kColumns - 1));
        }
        m_table->setSpan(CObjectTableModel::DetailRowOf(t), 1, 1, CObjectTableModel::kColumns - 1);
        applyRowHeight(t);
    }
    if (!selection.isEmpty())
        m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    showSortIndicator();
    m_table->setUpdatesEnabled(true);
    // Hidden, the table has no width of its own yet: fit when it is shown.
    if (m_table->isVisible())
        FitColumnsToWindow();
    else
        m_fitPending = true;
    setProgressPart(QString());
    updateSelectionPart(true);
    Q_EMIT CommandStatesChanged();
}

void CTabGrid::refreshObject(int object)
{
    m_model->RefreshObject(object);
    // The content may have grown (a longer comment, another regional setting).
    if (object >= 0 && object < m_document.Current().GetCount() && m_document.Current().GetObject(object).expanded
        && !m_animations.count(object))
        applyRowHeight(object);
}

void CTabGrid::OnDocumentUpdate(int index)
{
    if (index < 0)
        rebuild();
    else
        refreshObject(index);
}

void CTabGrid::OnDocumentChange(const SDocumentChange &change)
{
    using Kind = SDocumentChange::Kind;
    switch (change.kind) {
    case Kind::All:
        m_heights.Clear();
        rebuild();
        return;
    case Kind::Changed:
        if (change.object >= 0 && change.object < m_document.Current().GetCount())
            m_heights.Forget(m_document.Current().GetObject(change.object));
        refreshObject(change.object);
        return;
    case Kind::Inserted: objectsInserted(change.positions); break;
    case Kind::Removed: objectsRemoved(change.positions); break;
    case Kind::Reordered: objectsReordered(change.sourceOf); break;
    }
    updateSelectionPart(true);
    Q_EMIT CommandStatesChanged();
}

bool CTabGrid::forgetObjectState()
{
    const bool animating = !m_animations.empty();
    // Drawn areas are found again at the next paint; a row still growing or
    // shrinking gets its final height.
    m_areas.clear();
    m_hoverObject = -1;
    m_hoverId = 0;
    m_animations.clear();
    m_animationTimer->stop();
    // Positions have moved: the measuring looks at every row again.
    if (m_measureTimer->isActive()) {
        m_measureNext = 0;
        m_measureLeft = m_document.Current().GetCount();
    }
    return animating;
}

void CTabGrid::applyAllRowHeights()
{
    for (int t = 0, n = m_document.Current().GetCount(); t < n; ++t)
        applyRowHeight(t);
}

void CTabGrid::objectsInserted(const std::vector<int> &positions)
{
    const bool animating = forgetObjectState();
    m_model->ObjectsInserted(positions);
    CVetraData &list = m_document.Current();
    for (int t : positions)
        m_heights.Forget(list.GetObject(t));   // a new object, perhaps at a freed one's address
    QItemSelection selection;
    for (int t : positions) {
        m_table->setSpan(CObjectTableModel::DetailRowOf(t), 1, 1, CObjectTableModel::kColumns - 1);
        applyRowHeight(t);
        // Objects that join a project come selected, as after opening.
        if (list.GetObject(t).selected) {
            list.SetSelected(t, false);
            selection.select(m_model->index(CObjectTableModel::HeaderRowOf(t), 0),
                             m_model->index(CObjectTableModel::DetailRowOf(t), CObjectTableModel::kColumns - 1));
        }
    }
    if (!selection.isEmpty())
        m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    // Objects that were animating stand elsewhere now: give them their height.
    if (animating)
        applyAllRowHeights();
}

void CTabGrid::objectsRemoved(const std::vector<int> &positions)
{
    const bool animating = forgetObjectState();
    m_model->ObjectsRemoved(positions);
    if (animating)
        applyAllRowHeights();
}

void CTabGrid::objectsReordered(const std::vector<int> &sourceOf)
{
    const bool animating = forgetObjectState();
    // The rows move with their heights, the selection and the focus.
    m_model->ObjectsReordered(sourceOf);
    if (animating)
        applyAllRowHeights();
    showSortIndicator();
}

void CTabGrid::Retranslate()
{
    // Texts only: the selection and the current row stay.
    m_model->RefreshTexts();
    updateSelectionPart(true);
}

void CTabGrid::showSortIndicator()
{
    const int mode = m_document.Current().GetSortMode();
    const int column = columnOfMode(mode);
    QHeaderView *columns = m_table->horizontalHeader();
    columns->setSortIndicatorShown(column >= 0);
    // QHeaderView draws Qt::AscendingOrder as a downward arrow; an ascending
    // column shows ▲ here, the smallest value on top.
    if (column >= 0)
        columns->setSortIndicator(column, mode % 2 == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CTabGrid::showEvent(QShowEvent *event)
{
    CTablePage::showEvent(event);
    if (m_fitPending) {
        m_fitPending = false;
        // After the layout gave the table its size.
        QMetaObject::invokeMethod(this, &CTabGrid::FitColumnsToWindow, Qt::QueuedConnection);
    }
}

void CTabGrid::FitColumnsToWindow()
{
    QHeaderView *columns = m_table->horizontalHeader();
    const int last = CObjectTableModel::kColumns - 1;
    // The header's own sections count, with objects or without: an empty
    // table fits the window too.
    const int rightEdge = columns->sectionPosition(last) + columns->sectionSize(last);
    const int free = m_table->viewport()->width() - rightEdge;
    const int extra = free - kFitReserve;
    if (extra > kFitNameShare) {
        const int each = (free - kFitNameShare - kFitReserve) / 6;
        for (int c = 2; c <= last; ++c)
            m_table->setColumnWidth(c, m_table->columnWidth(c) + each);
        m_table->setColumnWidth(CObjectTableModel::kNameColumn,
                                m_table->columnWidth(CObjectTableModel::kNameColumn) + kFitNameShare);
    } else if (extra > 0) {
        m_table->setColumnWidth(CObjectTableModel::kNameColumn,
                                m_table->columnWidth(CObjectTableModel::kNameColumn) + extra);
    }
}

// ---------------------------------------------------------------------------
// Selection and status

void CTabGrid::onSelectionChanged(const QItemSelection &, const QItemSelection &)
{
    // The focus belongs on an object's header row.
    const QModelIndex current = m_table->selectionModel()->currentIndex();
    if (current.isValid() && CObjectTableModel::IsDetailRow(current.row()))
        m_table->selectionModel()->setCurrentIndex(m_model->index(current.row() - 1, current.column()),
                                                   QItemSelectionModel::NoUpdate);
    updateSelectionPart(false);
    Q_EMIT CommandStatesChanged();
}

std::vector<int> CTabGrid::objectsOfSelectedRows() const
{
    std::vector<int> objects;
    const QItemSelectionModel *model = m_table->selectionModel();
    for (int t = 0, n = m_document.Current().GetCount(); t < n; ++t) {
        const int header = CObjectTableModel::HeaderRowOf(t);
        if (model->isSelected(m_model->index(header, CObjectTableModel::kNameColumn))
            || model->isSelected(m_model->index(header + 1, CObjectTableModel::kNameColumn)))
            objects.push_back(t);
    }
    return objects;
}

std::vector<int> CTabGrid::SelectedObjects() const
{
    return objectsOfSelectedRows();
}

void CTabGrid::updateSelectionPart(bool force)
{
    if (!force && m_model->rowCount() + 1 > kCountLimitRows)
        return;
    const int selected = int(SelectedObjects().size());
    m_selectionPart = Res::FormatString(Res::IDS_STATUS_SELECTION,
                                        {Res::LoadString(Res::IDS_STATUS_SELECTED), selected,
                                         Res::LoadString(Res::IDS_STATUS_TOTAL), m_document.Current().GetCount()});
    Q_EMIT StatusText(StatusLine());
}

void CTabGrid::setProgressPart(const QString &text)
{
    m_progressPart = text;
    Q_EMIT StatusText(StatusLine());
}

// ---------------------------------------------------------------------------
// Commands

bool CTabGrid::CanSelectAll() const
{
    return m_document.HasObjects() && m_model->rowCount() > 0;
}

bool CTabGrid::CanDelete() const
{
    return m_table->selectionModel()->hasSelection();
}

bool CTabGrid::CanCopy() const
{
    return m_table->selectionModel()->hasSelection();
}

void CTabGrid::SelectAll()
{
    CWaitCursor wait;
    m_table->selectAll();
}

void CTabGrid::DeleteSelection()
{
    const std::vector<int> objects = SelectedObjects();
    const int scroll = m_table->verticalScrollBar()->value();
    if (m_messages.Show(IMessageService::Icon::Question, Res::LoadString(Res::IDS_ASK_DELETE_SELECTED),
                        IMessageService::Buttons::YesNoCancel)
            == IMessageService::Yes
        && !objects.empty()) {
        CWaitCursor wait;
        ProjectEdits::Delete(m_document, objects);
        m_table->verticalScrollBar()->setValue(scroll);
    }
    m_table->setFocus();
}

// ---------------------------------------------------------------------------
// Sorting, expanding, context actions

void CTabGrid::SortByColumn(int column)
{
    if (!m_document.HasObjects() || m_document.Current().GetCount() == 0 || column < 0
        || column >= CObjectTableModel::kColumns)
        return;
    CWaitCursor wait;
    const int ascending = kAscendingMode[std::size_t(column)];
    const int mode = m_document.Current().GetSortMode() == ascending ? ascending + 1 : ascending;
    ProjectEdits::Sort(m_document, mode);
}

void CTabGrid::SetObjectExpanded(int object, bool expanded, bool animated)
{
    if (object < 0 || object >= m_document.Current().GetCount())
        return;
    ProjectEdits::SetExpanded(m_document, object, expanded);
    if (!animated) {
        applyRowHeight(object);
    } else {
        const int row = CObjectTableModel::DetailRowOf(object);
        if (expanded && m_table->rowHeight(row) < 2)
            m_table->setRowHeight(row, 2);
        m_animations[object] = expanded;
        // One timer drives every row, however often a row is toggled.
        if (!m_animationTimer->isActive())
            m_animationTimer->start();
    }
    m_model->RefreshObject(object);
    Q_EMIT CommandStatesChanged();
}

void CTabGrid::ExpandAll(bool expand)
{
    CWaitCursor wait;
    m_measureTimer->stop();
    if (expand)
        setProgressPart(Res::LoadString(Res::IDS_STATUS_EXPANDING));
    m_animations.clear();
    m_table->setUpdatesEnabled(false);
    // An object built like one measured before gets its height at once; the
    // rest are measured afterwards, a few at a time, the visible ones first.
    const QFont font = m_table->font();
    const int width = DetailWidth();
    const int count = m_document.Current().GetCount();
    bool estimated = false;
    for (int t = 0; t < count; ++t) {
        ProjectEdits::SetExpanded(m_document, t, expand);
        const object_t &o = m_document.Current().GetObject(t);
        int height = 0;
        if (expand) {
            estimated = estimated || !m_heights.IsMeasured(o, font, width);
            height = m_heights.Estimate(o, font, width);
        }
        m_table->setRowHeight(CObjectTableModel::DetailRowOf(t), height);
    }
    m_table->setUpdatesEnabled(true);
    if (expand && estimated) {
        const int top = m_table->rowAt(0);
        m_measureNext = top >= 0 ? CObjectTableModel::ObjectOfRow(top) : 0;
        m_measureLeft = count;
        m_measured = 0;
        m_measureTimer->start();
    } else {
        setProgressPart(QString());
    }
    updateSelectionPart(true);
    m_table->viewport()->update();
    Q_EMIT CommandStatesChanged();
}

bool CTabGrid::IsMeasuring() const
{
    return m_measureTimer->isActive();
}

void CTabGrid::measureStep()
{
    constexpr int kStepMs = 8;
    QElapsedTimer clock;
    clock.start();
    CVetraData &list = m_document.Current();
    const int count = list.GetCount();
    const QFont font = m_table->font();
    const int width = DetailWidth();
    while (m_measureLeft > 0 && count > 0 && !clock.hasExpired(kStepMs)) {
        const int t = m_measureNext % count;
        m_measureNext = (t + 1) % count;
        --m_measureLeft;
        const object_t &o = list.GetObject(t);
        if (!o.expanded || m_heights.IsMeasured(o, font, width) || m_animations.count(t))
            continue;
        m_table->setRowHeight(CObjectTableModel::DetailRowOf(t), m_heights.Height(o, font, width));
        if (++m_measured % kExpandProgressEvery == 0)
            setProgressPart(
                Res::FormatString(Res::IDS_STATUS_PROGRESS, {Res::LoadString(Res::IDS_STATUS_EXPANDING), m_measured}));
    }
    if (m_measureLeft <= 0 || count == 0) {
        m_measureTimer->stop();
        setProgressPart(QString());
    }
}

void CTabGrid::ContextClick(const QModelIndex &index, const QPoint &globalPos)
{
    if (!index.isValid() || m_model->rowCount() == 0)
        return;
    const int row = index.row();
    if (!CObjectTableModel::IsDetailRow(row) && !m_table->selectionModel()->isSelected(index)) {
        m_table->selectionModel()->setCurrentIndex(index,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    const int object = CObjectTableModel::ObjectOfRow(row);
    switch (index.column()) {
    case Col_Number: {
        QMenu menu(this);
        auto picture = [](bool expand) {
            QPixmap p(20, 19);
            p.fill(Qt::transparent);
            QPainter painter(&p);
            Render::PaintExpandButton(painter, p.rect(), expand);
            return QIcon(p);
        };
        QAction *all = menu.addAction(picture(true), Res::LoadString(Res::IDS_MENU_EXPAND_ALL));
        QAction *none = menu.addAction(picture(false), Res::LoadString(Res::IDS_MENU_COLLAPSE_ALL));
        QAction *chosen = menu.exec(globalPos);
        if (chosen == all || chosen == none)
            ExpandAll(chosen == all);
        break;
    }
    case Col_DateTime: AdjustTimeOfSelection(object); break;
    case Col_Regional: {
        const std::uint8_t regional = chooseRegional(m_table->visualRect(index),
                                                     m_table->viewport()->mapFromGlobal(globalPos),
                                                     m_document.Current().GetObject(object).regional);
        if (regional != 0xFF)
            SetRegionalOfSelection(regional);
        break;
    }
    default: break;
    }
}

std::uint8_t CTabGrid::chooseRegional(const QRect &cell, const QPoint &cursor, std::uint8_t current)
{
    QMenu menu(this);
    auto *choices = new QActionGroup(&menu);   // one of them: drawn as radio marks
    const std::pair<Res::StrId, std::uint8_t> entries[] = {{Res::IDS_REGIONAL_METRIC, Regional_Metric},
                                                           {Res::IDS_REGIONAL_ASTM_MM, Regional_AstmMm},
                                                           {Res::IDS_REGIONAL_ASTM_INCH, Regional_AstmInch},
                                                           {Res::IDS_REGIONAL_JAPANESE, Regional_Japanese}};
    for (const auto &[text, code] : entries) {
        QAction *action = menu.addAction(Res::LoadString(text));
        action->setData(int(code));
        // The object's setting is marked and the keyboard starts on it.
        action->setCheckable(true);
        action->setActionGroup(choices);
        action->setChecked(code == current);
        if (code == current)
            menu.setActiveAction(action);
    }
    // Centred under a narrow cell, else under the cursor; its top at the cell's bottom.
    const int centre = cell.width() <= 150 ? cell.center().x() : cursor.x();
    const QPoint at(centre - menu.sizeHint().width() / 2, cell.bottom() + 1);
    QAction *chosen = menu.exec(m_table->viewport()->mapToGlobal(at));
    return chosen ? std::uint8_t(chosen->data().toInt()) : std::uint8_t(0xFF);
}

void CTabGrid::AdjustTimeOfSelection(int clickedObject)
{
    if (clickedObject < 0 || clickedObject >= m_document.Current().GetCount())
        return;
    const std::int64_t shown = CDateTimeDlg::ShownStamp(m_document.Current().GetObject(clickedObject).timeStamp);
    CDateTimeDlg dialog(this);
    dialog.SetCurrent(shown);
    dialog.SetAdjusted(shown);
    if (m_messages.RunDialog(dialog) != QDialog::Accepted)
        return;
    CWaitCursor wait;
    ProjectEdits::ShiftTimeStamps(m_document, SelectedObjects(), dialog.GetShift());
}

void CTabGrid::SetRegionalOfSelection(std::uint8_t regional)
{
    CWaitCursor wait;
    ProjectEdits::SetRegional(m_document, SelectedObjects(), regional);
}
