// What the user set up in the table survives each edit and its undo: column
// widths, the focus cell, the scroll position, expanded rows and the
// selection follow the objects, because the table follows the document
// change by change instead of building its rows anew.
#include "tablefixture.h"

#include "gui/projecthistory.h"
#include "project/projectedits.h"
#include "render/detailcell.h"
#include "support/memoryclipboard.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include <functional>

using TestSupport::TableTest;
using Model = CObjectTableModel;

namespace {

using MemoryClipboard = TestSupport::CMemoryClipboard;

class ViewState : public TableTest
{
protected:
    static constexpr int kObjects = 40;
    static constexpr int kNameWidth = 400;

    void SetUp() override
    {
        TableTest::SetUp();
        history = std::make_unique<CProjectHistory>(*document);
        load(kObjects);
        // What a user sets up: a wide name column, two objects expanded,
        // two selected, the focus on one, scrolled down a little.
        table().setColumnWidth(Model::kNameColumn, kNameWidth);
        page->SetObjectExpanded(position(3), true);
        page->SetObjectExpanded(position(30), true);
        selectObject(position(5));
        selectObject(position(7));
        table().selectionModel()->setCurrentIndex(table().model()->index(Model::HeaderRowOf(position(7)), 2),
                                                  QItemSelectionModel::NoUpdate);
        table().verticalScrollBar()->setValue(60);
        scroll = table().verticalScrollBar()->value();
        ASSERT_GT(scroll, 0);
    }
    void TearDown() override
    {
        history.reset();
        TableTest::TearDown();
    }

    // The position of the object with number `number`; -1 when it is gone.
    int position(int number) const
    {
        for (int t = 0; t < document->Current().GetCount(); ++t)
            if (document->Current().GetObject(t).objectNumber == number)
                return t;
        return -1;
    }
    std::vector<int> selectedNumbers() const
    {
        std::vector<int> numbers;
        for (int t : page->SelectedObjects())
            numbers.push_back(document->Current().GetObject(t).objectNumber);
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }
    bool shownExpanded(int number) const
    {
        const int t = position(number);
        return t >= 0 && document->Current().GetObject(t).expanded
               && table().rowHeight(Model::DetailRowOf(t)) == page->DetailHeight(t);
    }

    // Everything set up in SetUp is as it was.
    void expectViewKept(const std::string &edit, bool selectionKept = true)
    {
        SCOPED_TRACE(edit);
        EXPECT_EQ(table().columnWidth(Model::kNameColumn), kNameWidth);
        EXPECT_TRUE(shownExpanded(3));
        EXPECT_TRUE(shownExpanded(30));
        EXPECT_EQ(table().rowHeight(Model::DetailRowOf(position(4))), 0) << "a collapsed object stays collapsed";
        if (selectionKept) {
            EXPECT_EQ(selectedNumbers(), (std::vector<int>{5, 7}));
        }
        const QModelIndex current = table().selectionModel()->currentIndex();
        EXPECT_EQ(current.row(), Model::HeaderRowOf(position(7)));
        EXPECT_EQ(current.column(), 2);
        EXPECT_EQ(table().verticalScrollBar()->value(), scroll);
        for (int t = 0; t < document->Current().GetCount(); ++t)
            ASSERT_EQ(table().model()->index(Model::DetailRowOf(t), 1).data(Model::ObjectIndexRole).toInt(), t);
        EXPECT_EQ(table().model()->rowCount(), 2 * document->Current().GetCount());
    }

    std::unique_ptr<CProjectHistory> history;
    int scroll = 0;
};

TEST_F(ViewState, EachEditItsUndoAndItsRedoKeepWhatTheUserSetUp)
{
    MemoryClipboard copied;
    {
        Selection one(kObjects, false);
        one[std::size_t(position(20))] = true;
        ASSERT_TRUE(document->CopyToClipboard(copied, one));
    }
    const struct
    {
        const char *name;
        std::function<void()> edit;
        bool selectionKept;
    } edits[] = {
        {"sort by name", [&] { page->SortByColumn(Model::kNameColumn); }, true},
        {"sort by number, descending", [&] { page->SortByColumn(0), page->SortByColumn(0); }, true},
        {"delete",
         [&] {
             ProjectEdits::Delete(*document, {position(35), position(36)});
         },
         true},
        {"rename", [&] { ProjectEdits::Rename(*document, position(5), QStringLiteral("pier")); }, true},
        {"comment", [&] { ProjectEdits::SetComment(*document, position(3), QStringLiteral("north")); }, true},
        {"time shift",
         [&] {
             ProjectEdits::ShiftTimeStamps(*document, {position(5), position(7)}, 3600);
         },
         true},
        {"regional setting", [&] { ProjectEdits::SetRegional(*document, {position(7)}, 1); }, true},
        // Objects that join come selected instead.
        {"paste", [&] { document->PasteFromClipboard(copied); }, false},
        {"add", [&] { document->AddObjects({TestSupport::MakeObject(90, {22})}, true, false); }, false},
    };
    for (const auto &e : edits) {
        e.edit();
        expectViewKept(e.name, e.selectionKept);
        // The undo and the redo of it.
        selectObject(position(5), QItemSelectionModel::ClearAndSelect);
        selectObject(position(7));
        table().selectionModel()->setCurrentIndex(table().model()->index(Model::HeaderRowOf(position(7)), 2),
                                                  QItemSelectionModel::NoUpdate);
        history->Undo();
        expectViewKept(std::string("undo of ") + e.name);
        history->Redo();
        expectViewKept(std::string("redo of ") + e.name, e.selectionKept);
        history->Undo();
    }
    EXPECT_EQ(document->Current().GetCount(), kObjects);
}

TEST_F(ViewState, UndoNeverTouchesViewState)
{
    const QString name = document->Current().GetObject(position(1)).objectName;
    const int steps = history->Stack().count();
    ProjectEdits::Rename(*document, position(1), QStringLiteral("first"));
    page->SetObjectExpanded(position(2), true);
    ProjectEdits::SetDiagramOrder(*document, position(2), 1);
    EXPECT_EQ(history->Stack().count(), steps + 1) << "expanding and the diagram's order are no steps";
    history->Undo();
    EXPECT_EQ(document->Current().GetObject(position(1)).objectName, name);
    EXPECT_TRUE(shownExpanded(2)) << "expanded after the rename stays expanded";
    EXPECT_EQ(document->Current().GetObject(position(2)).diagramOrder, 1);
}

TEST_F(ViewState, UndoingADeletionPutsTheObjectsBackWhereTheyWere)
{
    const auto order = [&] {
        QStringList numbers;
        for (int t = 0; t < document->Current().GetCount(); ++t)
            numbers << QString::number(document->Current().GetObject(t).objectNumber);
        return numbers;
    };
    page->SortByColumn(0);
    page->SortByColumn(0);   // descending: 40 … 1
    const QStringList before = order();
    ProjectEdits::Delete(*document, {position(40), position(12), position(11), position(1)});
    EXPECT_EQ(document->Current().GetCount(), kObjects - 4);
    EXPECT_FALSE(order().contains(QStringLiteral("12")));
    history->Undo();
    EXPECT_EQ(order(), before);
    history->Redo();
    EXPECT_EQ(document->Current().GetCount(), kObjects - 4);
    history->Undo();
    history->Undo();   // the sort, then the other one
    history->Undo();
    EXPECT_EQ(order().first(), QStringLiteral("1"));
    EXPECT_EQ(order().last(), QStringLiteral("40"));
}

TEST_F(ViewState, AStepKeepsWhatItChangedNotTheProject)
{
    ProjectEdits::Rename(*document, position(1), QStringLiteral("a name"));
    const std::size_t rename = history->Bytes();
    EXPECT_LT(rename, 1024u) << "a rename keeps two names, not the project";
    ProjectEdits::Delete(*document, {position(2)});
    EXPECT_GT(history->Bytes() - rename, sizeof(object_t)) << "a deletion keeps the object it took";
}

// Objects with differing comments and names: rows that expand all can only
// estimate at first.
TEST_F(ViewState, ExpandAllAnswersAtOnceAndEveryRowEndsWithItsExactHeight)
{
    for (int t = 0; t < kObjects; t += 3)
        ProjectEdits::SetComment(*document, t, QStringLiteral("a longer comment line ").repeated(t % 7 + 1));
    page->ExpandAll(true);
    page->SortByColumn(Model::kNameColumn);   // positions move while it measures
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsMeasuring(); }, 20000));
    for (int t = 0; t < document->Current().GetCount(); ++t) {
        ASSERT_TRUE(document->Current().GetObject(t).expanded);
        EXPECT_EQ(table().rowHeight(Model::DetailRowOf(t)),
                  Render::DetailRowHeight(document->Current().GetObject(t), table().font(), page->DetailWidth()))
            << t;
    }
    EXPECT_EQ(page->StatusLine().simplified(), QStringLiteral("Selected objects: 2 Total objects: 40"))
        << "the progress text is gone";
    page->ExpandAll(false);
    for (int t = 0; t < document->Current().GetCount(); ++t)
        EXPECT_EQ(table().rowHeight(Model::DetailRowOf(t)), 0);
}

}   // namespace
