// The object table page as a user drives it.
#include "tablefixture.h"

#include "data/timetext.h"
#include "export/csvexport.h"
#include "gui/datetimedlg.h"
#include "project/projectedits.h"
#include "render/tablecells.h"

#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimeEdit>
#include <QToolTip>
#include <QWheelEvent>

using TestSupport::TableTest;
using Model = CObjectTableModel;

namespace {

class ObjectTable : public TableTest
{
protected:
    void clickHeader(int column)
    {
        QHeaderView *header = table().horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    // Which way the painted sort arrow of `section` points: 1 up, -1 down,
    // 0 none. Its pixels are those near the section's right end that differ
    // from the header painted without the arrow.
    int arrowDirection(int section)
    {
        QHeaderView *header = table().horizontalHeader();
        const QImage with = header->grab().toImage();
        header->setSortIndicatorShown(false);
        const QImage without = header->grab().toImage();
        header->setSortIndicatorShown(true);
        const int right = int((header->sectionViewportPosition(section) + header->sectionSize(section))
                              * with.devicePixelRatio());
        std::vector<int> widths;
        for (int y = 0; y < with.height(); ++y) {
            int width = 0;
            for (int x = std::max(0, right - 24); x < right; ++x)
                width += with.pixel(x, y) != without.pixel(x, y);
            if (width > 0)
                widths.push_back(width);
        }
        if (widths.size() < 2 || widths.front() == widths.back())
            return 0;
        return widths.front() < widths.back() ? 1 : -1;
    }
};

TEST_F(ObjectTable, AnEmptyProjectShowsOnlyTheColumnHeaders)
{
    EXPECT_EQ(table().model()->rowCount(), 0);
    EXPECT_EQ(table().model()->columnCount(), 8);
    EXPECT_EQ(table().model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Date & Time"));
    EXPECT_EQ(table().horizontalHeader()->height(), 26);
    EXPECT_FALSE(page->CanSelectAll());
    EXPECT_FALSE(page->CanDelete());
    EXPECT_FALSE(page->CanCopy());
    clickHeader(1);   // nothing to sort
    EXPECT_EQ(document->Current().GetSortMode(), 0);
}

TEST_F(ObjectTable, RowsHeightsAndTexts)
{
    load(3);
    ASSERT_EQ(table().model()->rowCount(), 6);
    EXPECT_EQ(text(0, 0), QStringLiteral("001"));
    EXPECT_EQ(text(2, 3), QStringLiteral("12 mm"));
    EXPECT_EQ(text(2, 6), QStringLiteral("2"));
    EXPECT_EQ(table().rowHeight(0), 22);   // the same rows as pictures and printouts have
    EXPECT_EQ(table().rowHeight(1), 0);
    EXPECT_EQ(table().columnSpan(1, 1), 7);
    EXPECT_TRUE(page->CanSelectAll());
    EXPECT_TRUE(page->StatusLine().startsWith(QStringLiteral("Selected objects: 0      Total objects: 3")));
}

TEST_F(ObjectTable, ObjectsWithoutValuesShowDashesWithTheUnit)
{
    TVetraObject none = TestSupport::MakeObject(1, {255, 255});
    TVetraObject inch = TestSupport::MakeObject(2, {255}, 1);
    document->AddObjects({none, inch}, false, false);
    EXPECT_EQ(text(0, 3), QStringLiteral(" -- mm"));
    EXPECT_EQ(text(0, 4), QStringLiteral(" -- mm"));
    EXPECT_EQ(text(2, 3), QStringLiteral(" -- inch"));
}

TEST_F(ObjectTable, SummerTimeStampsAreShownOneHourEarlier)
{
    TVetraObject summer = TestSupport::MakeObject(1, {20});
    summer.timeStamp = 1782892800;   // 2026-07-01 10:00 CEST
    TVetraObject winter = TestSupport::MakeObject(2, {20});
    winter.timeStamp = 1768035600;   // 2026-01-10 10:00 CET
    document->AddObjects({summer, winter}, false, false);
    EXPECT_EQ(text(0, 2), QStringLiteral("07/01/2026 9:00 AM"));
    EXPECT_EQ(text(2, 2), QStringLiteral("01/10/2026 10:00 AM"));
}

TEST_F(ObjectTable, HeaderClicksSortAscendingFirstThenToggle)
{
    load(3);
    page->show();
    clickHeader(1);
    EXPECT_EQ(document->Current().GetSortMode(), 5);
    EXPECT_EQ(table().horizontalHeader()->sortIndicatorSection(), 1);
    EXPECT_EQ(arrowDirection(1), 1) << "ascending shows an upward arrow";
    clickHeader(1);
    EXPECT_EQ(document->Current().GetSortMode(), 6);
    EXPECT_EQ(arrowDirection(1), -1);
    clickHeader(1);
    EXPECT_EQ(document->Current().GetSortMode(), 5);
    clickHeader(0);
    EXPECT_EQ(document->Current().GetSortMode(), 1);
    clickHeader(0);
    EXPECT_EQ(numbers(), (QStringList{QStringLiteral("003"), QStringLiteral("002"), QStringLiteral("001")}));
}

TEST_F(ObjectTable, ALongNameEndsInAnEllipsisAndItsTooltipShowsItWhole)
{
    load(2);
    const QString longName = QStringLiteral(
        "North abutment, east wing, second pour above the expansion joint near axis 14");
    ProjectEdits::Rename(*document, 0, longName);
    page->resize(700, 400);
    page->show();
    table().setColumnWidth(1, 120);
    const QRect cell = table().visualRect(table().model()->index(0, 1));
    QImage image(cell.size(), QImage::Format_RGB32);
    QPainter p(&image);
    p.setFont(table().font());
    Render::PaintTextCell(p, QRect(QPoint(), cell.size()), longName, Qt::AlignLeft, false);
    p.end();
    // The last text pixels sit inside the cell's inset: the text stopped, it was not cut by the edge.
    int lastInk = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128)
                lastInk = std::max(lastInk, x);
    EXPECT_GT(lastInk, 0);
    EXPECT_LT(lastInk, image.width() - 4);

    QHelpEvent help(QEvent::ToolTip, cell.center(), table().viewport()->mapToGlobal(cell.center()));
    QCoreApplication::sendEvent(table().viewport(), &help);
    EXPECT_EQ(QToolTip::text(), longName);
    // A name that fits needs no tooltip.
    const QRect second = table().visualRect(table().model()->index(2, 1));
    QHelpEvent fits(QEvent::ToolTip, second.center(), table().viewport()->mapToGlobal(second.center()));
    QCoreApplication::sendEvent(table().viewport(), &fits);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
}

TEST_F(ObjectTable, ASortKeepsDetailRowsUnderTheirHeadersAndKeepsExpandedAndSelected)
{
    load(4);
    page->SetObjectExpanded(1, true);   // 002
    selectObject(2);                    // 003
    clickHeader(0);
    clickHeader(0);   // descending: 004 003 002 001
    ASSERT_EQ(numbers(), (QStringList{QStringLiteral("004"), QStringLiteral("003"), QStringLiteral("002"),
                                      QStringLiteral("001")}));
    for (int object = 0; object < 4; ++object) {
        const bool expanded = text(Model::HeaderRowOf(object), 0) == u"002";
        EXPECT_EQ(table().rowHeight(Model::DetailRowOf(object)), expanded ? page->DetailHeight(object) : 0) << object;
        EXPECT_EQ(table().model()->index(Model::DetailRowOf(object), 1).data(Model::ObjectIndexRole).toInt(), object);
        const bool selected = text(Model::HeaderRowOf(object), 0) == u"003";
        EXPECT_EQ(rowSelected(Model::HeaderRowOf(object)), selected) << object;
        EXPECT_EQ(rowSelected(Model::DetailRowOf(object)), selected) << object;
    }
    EXPECT_TRUE(document->Current().GetObject(2).expanded);
}

TEST_F(ObjectTable, SelectingADetailRowSelectsItsHeaderRowAndCountsTheObjectOnce)
{
    load(3);
    table().selectionModel()->select(table().model()->index(Model::DetailRowOf(1), 2),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_TRUE(rowSelected(Model::HeaderRowOf(1)));
    EXPECT_TRUE(page->StatusLine().startsWith(QStringLiteral("Selected objects: 1      Total objects: 3")));
    EXPECT_TRUE(page->CanCopy());
    EXPECT_TRUE(page->CanDelete());
    // Deselecting the header row deselects the pair.
    table().selectionModel()->select(table().model()->index(Model::HeaderRowOf(1), 0),
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    EXPECT_FALSE(rowSelected(Model::DetailRowOf(1)));
    page->SelectAll();
    EXPECT_TRUE(page->StatusLine().startsWith(QStringLiteral("Selected objects: 3")));
}

TEST_F(ObjectTable, ClicksShiftRangesAndKeysSelectWholeObjects)
{
    load(8);
    auto click = [&](int object, Qt::KeyboardModifiers modifiers = {}) {
        const QRect cell = table().visualRect(table().model()->index(Model::HeaderRowOf(object), 2));
        QTest::mouseClick(table().viewport(), Qt::LeftButton, modifiers, cell.center());
    };
    auto selected = [&] { return page->SelectedObjects(); };
    click(0);
    click(5, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(page->StatusLine().startsWith(QStringLiteral("Selected objects: 6")));
    click(2, Qt::ShiftModifier);   // the range shrinks
    EXPECT_EQ(selected(), (std::vector<int>{0, 1, 2}));
    click(1);   // a plain click inside a selection selects only that one
    EXPECT_EQ(selected(), (std::vector<int>{1}));
    click(4, Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<int>{1, 4}));
    click(1, Qt::ControlModifier);
    EXPECT_EQ(selected(), (std::vector<int>{4}));
    EXPECT_FALSE(rowSelected(Model::DetailRowOf(1)));

    // Keys step from object to object, never onto a detail row.
    table().setFocus();
    click(4);
    QTest::keyClick(table().viewport(), Qt::Key_Down);
    QTest::keyClick(table().viewport(), Qt::Key_Down);
    EXPECT_EQ(table().currentIndex().row(), Model::HeaderRowOf(6));
    EXPECT_EQ(selected(), (std::vector<int>{6}));
    QTest::keyClick(table().viewport(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(selected(), (std::vector<int>{5, 6}));
    EXPECT_TRUE(page->StatusLine().startsWith(QStringLiteral("Selected objects: 2")));
}

TEST_F(ObjectTable, AnEmptyTableFitsTheWindowWithoutScrolling)
{
    load(3);
    ProjectEdits::Delete(*document, {0, 1, 2});
    document->SetModified(false);
    document->CloseProject();
    QApplication::processEvents();
    const QHeaderView *h = table().horizontalHeader();
    const int width = h->sectionPosition(7) + h->sectionSize(7);
    EXPECT_LE(width, table().viewport()->width());
    EXPECT_GT(width, table().viewport()->width() / 2) << "the columns still fill the window";
    EXPECT_FALSE(table().horizontalScrollBar()->isVisible());
}

TEST_F(ObjectTable, ColumnsFitTheWindow)
{
    page->resize(1800, 600);
    load(2);
    const int viewport = table().viewport()->width();
    auto setFree = [&](int free) {
        QHeaderView *h = table().horizontalHeader();
        table().setColumnWidth(7, viewport - free - h->sectionPosition(7));
        std::array<int, 8> widths{};
        for (int c = 0; c < 8; ++c)
            widths[std::size_t(c)] = table().columnWidth(c);
        return widths;
    };
    table().setColumnWidth(1, 60);
    for (int c = 2; c < 8; ++c)
        table().setColumnWidth(c, 50);
    ASSERT_GE(viewport, 1700);
    std::array<int, 8> before = setFree(0);
    page->FitColumnsToWindow();
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(table().columnWidth(c), before[std::size_t(c)]) << c;

    // A window wider by far: the table may scroll, the rule still holds.
    table().setColumnWidth(0, 40);
    table().setColumnWidth(1, 40);
    for (int c = 2; c < 7; ++c)
        table().setColumnWidth(c, 40);
    before = setFree(1000);
    ASSERT_GT(before[7], 0);
    page->FitColumnsToWindow();
    EXPECT_EQ(table().columnWidth(0), before[0]);
    EXPECT_EQ(table().columnWidth(1), before[1] + 360);
    for (int c = 2; c < 8; ++c)
        EXPECT_EQ(table().columnWidth(c), before[std::size_t(c)] + 103) << c;

    before = setFree(100);   // extra 80: all to the name
    page->FitColumnsToWindow();
    EXPECT_EQ(table().columnWidth(1), before[1] + 80);
    EXPECT_EQ(table().columnWidth(2), before[2]);
}

TEST_F(ObjectTable, RenamingInPlaceReachesTheDocument)
{
    load(2);
    const QModelIndex name = table().model()->index(Model::HeaderRowOf(1), 1);
    table().setCurrentIndex(name);
    table().edit(name);
    auto *editor = qobject_cast<QLineEdit *>(table().indexWidget(name));
    if (!editor)
        editor = table().viewport()->findChild<QLineEdit *>();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->maxLength(), 65535);
    editor->setText(QStringLiteral("Pier 4, east"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(document->Current().GetObject(1).objectName, QStringLiteral("Pier 4, east"), 5000);
    EXPECT_EQ(document->Current().GetObject(1).objectName, QStringLiteral("Pier 4, east"));
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(text(Model::HeaderRowOf(1), 1), QStringLiteral("Pier 4, east"));
    // Leaving the editor without a change changes nothing.
    document->SetModified(false);
    table().edit(name);
    auto *again = table().viewport()->findChild<QLineEdit *>();
    ASSERT_TRUE(again);
    QTest::keyClick(again, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_FALSE(document->IsModified());
    // Only the name cell is editable.
    EXPECT_FALSE(table().model()->flags(table().model()->index(0, 2)) & Qt::ItemIsEditable);
    EXPECT_FALSE(table().model()->flags(table().model()->index(1, 1)) & Qt::ItemIsEditable);
}

TEST_F(ObjectTable, DeleteAsksAndOnlyYesDeletes)
{
    load(4);
    document->SetModified(false);
    selectObject(1);
    selectObject(3);
    messages.ExpectBox(QStringLiteral("Do you really want to delete the selected measurement objects?"),
                       IMessageService::No);
    page->DeleteSelection();
    EXPECT_EQ(document->Current().GetCount(), 4);
    EXPECT_FALSE(document->IsModified());

    messages.ExpectBox(QString(), IMessageService::Yes);
    page->DeleteSelection();
    EXPECT_EQ(numbers(), (QStringList{QStringLiteral("001"), QStringLiteral("003")}));
    EXPECT_TRUE(document->IsModified());
    EXPECT_TRUE(page->StatusLine().startsWith(QStringLiteral("Selected objects: 0      Total objects: 2")));
}

TEST_F(ObjectTable, TimeShiftFromJanuaryToJulyIsWholeDaysForEverySelectedObject)
{
    TVetraObject a = TestSupport::MakeObject(1, {20});
    a.timeStamp = 1768035600;   // 2026-01-10 10:00 CET
    TVetraObject b = TestSupport::MakeObject(2, {20});
    b.timeStamp = 1768203000;   // 2026-01-12 08:30 CET
    TVetraObject c = TestSupport::MakeObject(3, {20});
    c.timeStamp = 1769943600;   // 2026-02-01 12:00 CET
    document->AddObjects({a, b, c}, false, false);
    selectObject(0);
    selectObject(1);
    messages.ExpectDialog(QStringLiteral("dateTimeDialog"), [](QDialog &dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("currentDate"))->text(), QStringLiteral("01/10/2026"));
        EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("currentTime"))->text(), QStringLiteral("10:00:00 AM"));
        dialog.findChild<QDateEdit *>(QStringLiteral("newDate"))->setDate(QDate(2026, 7, 1));
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    });
    page->AdjustTimeOfSelection(0);
    const std::int64_t shift = document->Current().GetObject(0).timeStamp - a.timeStamp;
    EXPECT_EQ(shift, 172 * 86400);
    EXPECT_EQ(document->Current().GetObject(1).timeStamp - b.timeStamp, shift);
    EXPECT_EQ(text(0, 2), QStringLiteral("07/01/2026 10:00 AM"));
    EXPECT_EQ(text(2, 2), QStringLiteral("07/03/2026 8:30 AM"));
    EXPECT_EQ(document->Current().GetObject(2).timeStamp, c.timeStamp);
}

TEST_F(ObjectTable, TimeShiftOnASummerDayIsTheDifferenceShown)
{
    TVetraObject a = TestSupport::MakeObject(1, {20});
    a.timeStamp = 1782896400;   // 2026-07-01 11:00 CEST, shown as 10:00
    TVetraObject b = TestSupport::MakeObject(2, {20});
    b.timeStamp = 1782982800;   // 2026-07-02 11:00 CEST
    document->AddObjects({a, b}, false, false);
    page->SelectAll();
    messages.ExpectDialog(QStringLiteral("dateTimeDialog"), [](QDialog &dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("currentTime"))->text(), QStringLiteral("10:00:00 AM"));
        dialog.findChild<QTimeEdit *>(QStringLiteral("newTime"))->setTime(QTime(11, 30, 15));
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    });
    page->AdjustTimeOfSelection(0);
    EXPECT_EQ(document->Current().GetObject(0).timeStamp - a.timeStamp, 5415);
    EXPECT_EQ(document->Current().GetObject(1).timeStamp - b.timeStamp, 5415);
    EXPECT_EQ(text(0, 2), QStringLiteral("07/01/2026 11:30 AM"));
}

TEST_F(ObjectTable, TimeShiftFromJulyToJanuaryKeepsTheShownTimeOfDay)
{
    TVetraObject a = TestSupport::MakeObject(1, {20});
    a.timeStamp = 1782896400;   // 2026-07-01 11:00 CEST, shown as 10:00
    document->AddObjects({a}, false, false);
    page->SelectAll();
    messages.ExpectDialog(QStringLiteral("dateTimeDialog"), [](QDialog &dialog) {
        dialog.findChild<QDateEdit *>(QStringLiteral("newDate"))->setDate(QDate(2026, 1, 10));
        dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    });
    page->AdjustTimeOfSelection(0);
    // 11:00 summer time to 10:00 winter time is 09:00 UTC both: whole days.
    EXPECT_EQ(document->Current().GetObject(0).timeStamp - a.timeStamp, -172 * 86400);
    EXPECT_EQ(text(0, 2), QStringLiteral("01/10/2026 10:00 AM"));
}

TEST_F(ObjectTable, CancelledOrUnchangedTimeChangesNothing)
{
    load(1);
    const std::int64_t stamp = document->Current().GetObject(0).timeStamp;
    page->SelectAll();
    messages.ExpectDialog(QStringLiteral("dateTimeDialog"), [](QDialog &dialog) { dialog.reject(); });
    messages.ExpectDialog(QStringLiteral("dateTimeDialog"),
                          [](QDialog &dialog) { dialog.findChild<QPushButton *>(QStringLiteral("ok"))->click(); });
    page->AdjustTimeOfSelection(0);
    page->AdjustTimeOfSelection(0);
    EXPECT_EQ(document->Current().GetObject(0).timeStamp, stamp);
}

TEST_F(ObjectTable, RegionalSettingOfTheSelectionChanges)
{
    load(3);
    selectObject(0);
    selectObject(2);
    page->SetRegionalOfSelection(1);
    EXPECT_EQ(document->Current().GetObject(0).regional, 1);
    EXPECT_EQ(document->Current().GetObject(1).regional, 0);
    EXPECT_EQ(document->Current().GetObject(2).regional, 1);
    EXPECT_EQ(text(0, 5), QStringLiteral("ASTM inch"));
    EXPECT_TRUE(text(0, 3).endsWith(QStringLiteral(" inch")));
    EXPECT_TRUE(document->IsModified());
}

TEST_F(ObjectTable, ExpandAllAndCollapseAll)
{
    load(12);
    page->ExpandAll(true);
    for (int object = 0; object < 12; ++object) {
        EXPECT_TRUE(document->Current().GetObject(object).expanded);
        EXPECT_EQ(table().rowHeight(Model::DetailRowOf(object)), page->DetailHeight(object));
    }
    page->ExpandAll(false);
    for (int object = 0; object < 12; ++object)
        EXPECT_EQ(table().rowHeight(Model::DetailRowOf(object)), 0);
    EXPECT_FALSE(page->StatusLine().contains(QStringLiteral("Expanding:")));
}

TEST_F(ObjectTable, OneWheelNotchOverExpandedRowsScrollsByPixelsNotByObjects)
{
    load(12);
    page->resize(900, 500);
    page->show();
    page->ExpandAll(true);
    QCoreApplication::processEvents();
    QScrollBar *bar = table().verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const QPointF at(100, 100);
    QWheelEvent notch(at, table().viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(table().viewport(), &notch);
    const int moved = bar->value();
    EXPECT_GT(moved, 0);
    EXPECT_LT(moved, table().rowHeight(Model::DetailRowOf(0))) << "less than one expanded object";
}

TEST_F(ObjectTable, CopyPutsTheObjectsAndTheirTextOnTheClipboardAndPasteAppends)
{
    load(3);
    selectObject(1);
    page->Copy();
    ASSERT_TRUE(document->CanPaste(clipboard));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), BuildCsvClipboardText({document->Current().ToTransferObject(1)}));
    page->Paste();
    ASSERT_EQ(document->Current().GetCount(), 4);
    EXPECT_EQ(document->Current().GetObject(3).objectNumber, 2);
    EXPECT_EQ(page->SelectedObjects(), std::vector<int>{3}) << "the pasted object is selected";
    EXPECT_EQ(table().model()->rowCount(), 8);
}

TEST_F(ObjectTable, AnExpandedObjectsDrawingReadsAsTextOnItsDetailRow)
{
    load(1);
    const QModelIndex detail = table().model()->index(Model::DetailRowOf(0), 1);
    EXPECT_FALSE(detail.data(Qt::AccessibleTextRole).isValid()) << "nothing to read while collapsed";
    page->SetObjectExpanded(0, true);
    const QString text = detail.data(Qt::AccessibleTextRole).toString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Statistics\nMeasurements: 2\nMean cover value: 25.0 mm\n")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nSerial number: VM-00417\n"))) << text.toStdString();
    EXPECT_FALSE(table().model()->index(Model::HeaderRowOf(0), 1).data(Qt::AccessibleTextRole).isValid());
}

}   // namespace
