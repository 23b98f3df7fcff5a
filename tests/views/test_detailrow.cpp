// The expanded object in the table: its height, the animation, the links
// and the tooltips.
#include "tablefixture.h"

#include "gui/commentdlg.h"

#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using TestSupport::TableTest;
using Model = CObjectTableModel;

namespace {

class DetailRow : public TableTest
{
protected:
    int height(int object) const { return table().rowHeight(Model::DetailRowOf(object)); }
    // Draws the table once, so that the detail cells register their areas.
    void paint()
    {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        table().viewport()->repaint();
    }
    // The centre of the first area with `id` in object's detail cell (cell coordinates).
    std::optional<QPoint> areaOf(int object, int id)
    {
        for (int y = 0; y < height(object); y += 2)
            for (int x = 0; x < 1000; x += 2)
                if (page->HoverDetail(object, {x, y}), page->HoverId() == id)
                    return QPoint(x + 1, y + 1);
        return std::nullopt;
    }
};

TEST_F(DetailRow, ExpandingAnimatesInStepsOf15AndEndsAtTheMeasuredHeight)
{
    load(2);
    const int target = page->DetailHeight(0);
    ASSERT_GT(target, 300);
    std::vector<int> steps;
    QObject::connect(table().verticalHeader(), &QHeaderView::sectionResized, page.get(),
                     [&](int row, int oldSize, int newSize) {
                         if (row == Model::DetailRowOf(0))
                             steps.push_back(newSize - oldSize);
                     });
    page->SetObjectExpanded(0, true, true);
    QTRY_VERIFY_WITH_TIMEOUT(!page->IsAnimating(), 10000);
    EXPECT_EQ(height(0), target);
    ASSERT_GT(steps.size(), std::size_t(target / 15));
    for (std::size_t i = 1; i < steps.size(); ++i)   // the first step opens it to 2 px
        EXPECT_TRUE(steps[i] > 0 && steps[i] <= 15) << i << ": " << steps[i];
    steps.clear();
    page->SetObjectExpanded(0, false, true);
    QTRY_VERIFY_WITH_TIMEOUT(!page->IsAnimating(), 10000);
    EXPECT_EQ(height(0), 0);
    for (std::size_t i = 0; i + 1 < steps.size(); ++i)
        EXPECT_EQ(steps[i], -15) << i;
    // Expand all shows every row at full height at once.
    page->ExpandAll(true);
    EXPECT_FALSE(page->IsAnimating());
    EXPECT_EQ(height(1), page->DetailHeight(1));
}

TEST_F(DetailRow, TheHeightFollowsTheColumnWidths)
{
    // Two bands (30 measurements): the comment takes the width left of the band.
    TVetraObject o = TestSupport::MakeObject(1, {});
    for (int i = 1; i <= 30; ++i)
        o.measurements.push_back({std::uint8_t(i), std::uint8_t(20 + i), 16});
    for (int word = 0; word < 15; ++word)
        o.comment += QString(40, QChar(u'a' + word)) + u' ';
    document->AddObjects({o}, false, false);
    page->SetObjectExpanded(0, true);
    table().setColumnWidth(1, 2000);
    QCoreApplication::processEvents();
    const int wide = height(0);
    table().setColumnWidth(1, 100);
    QCoreApplication::processEvents();
    EXPECT_GT(height(0), wide);   // the comment takes more lines
    EXPECT_EQ(height(0), page->DetailHeight(0));
}

TEST_F(DetailRow, TheOrderingLinkSwitchesTheDiagram)
{
    load(1);
    page->SetObjectExpanded(0, true);
    paint();
    document->SetModified(false);
    const std::optional<QPoint> link = areaOf(0, Render::Area_Ordering);
    ASSERT_TRUE(link);
    EXPECT_TRUE(page->ClickDetail(0, *link, {}));
    EXPECT_EQ(document->Current().GetObject(0).diagramOrder, 1);
    EXPECT_TRUE(document->IsModified());
    paint();
    EXPECT_TRUE(page->ClickDetail(0, *areaOf(0, Render::Area_Ordering), {}));
    EXPECT_EQ(document->Current().GetObject(0).diagramOrder, 0);
    // Nowhere near a link: nothing.
    EXPECT_FALSE(page->ClickDetail(0, {height(0) - 1, 5}, {}));
}

TEST_F(DetailRow, TheCommentLinkEditsTheCommentAndTheRowGrows)
{
    load(1);
    page->SetObjectExpanded(0, true);
    paint();
    const int before = height(0);
    document->SetModified(false);
    messages.ExpectDialog(QStringLiteral("commentDialog"), [](QDialog &dialog) {
        auto *field = dialog.findChild<QPlainTextEdit *>(QStringLiteral("comment"));
        EXPECT_EQ(field->toPlainText(), QString());   // "[Add]" opens an empty field
        QString lines;
        for (int i = 0; i < 30; ++i)
            lines += QStringLiteral("line %1\n").arg(i);
        field->setPlainText(lines);
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    });
    ASSERT_TRUE(page->ClickDetail(0, *areaOf(0, Render::Area_Comment), {}));
    EXPECT_TRUE(document->Current().GetObject(0).comment.startsWith(QStringLiteral("line 0\r\nline 1\r\n")));
    EXPECT_TRUE(document->IsModified());
    EXPECT_GT(height(0), before);
}

TEST_F(DetailRow, TheRegionalLinkChangesOnlyThatObject)
{
    load(3);
    page->SelectAll();
    page->SetObjectExpanded(1, true);
    paint();
    const std::optional<QPoint> link = areaOf(1, Render::Area_Regional);
    ASSERT_TRUE(link);
    // The menu opens; choose its third entry, ASTM inch.
    QTimer::singleShot(0, [] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        ASSERT_EQ(menu->actions().size(), 4);
        EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("ASTM inch"));
        // The object's own setting, metric, is marked and the keys start there.
        EXPECT_TRUE(menu->actions()[0]->isChecked());
        EXPECT_FALSE(menu->actions()[2]->isChecked());
        EXPECT_EQ(menu->activeAction(), menu->actions()[0]);
        menu->setActiveAction(menu->actions()[2]);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    ASSERT_TRUE(page->ClickDetail(1, *link, {}));
    EXPECT_EQ(document->Current().GetObject(0).regional, 0);
    EXPECT_EQ(document->Current().GetObject(1).regional, 1);
    EXPECT_EQ(document->Current().GetObject(2).regional, 0);
}

TEST_F(DetailRow, EveryBarHasItsTooltip)
{
    load(1);
    page->SetObjectExpanded(0, true);
    paint();
    int found = 0;
    for (int x = 0; x < 600; ++x)
        if (const CTipAreas::STip *tip = page->DetailTip(0, {x, 250}))
            found += tip->title == QStringLiteral("Measurement number 1")
                     || tip->title == QStringLiteral("Measurement number 2");
    EXPECT_GT(found, 20);   // two bars, each many pixels wide
}

}   // namespace
