// Printing from the table onto a PDF: all objects or the selection, and the
// footer's file name.
#include "tablefixture.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using TestSupport::TableTest;
using Model = CObjectTableModel;

namespace {

QString pdfText(const QString &pdf)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

class PrintFromTable : public TableTest
{
protected:
    QString print(bool selection)
    {
        const QString pdf = dir.filePath(selection ? QStringLiteral("selection.pdf") : QStringLiteral("all.pdf"));
        messages.ExpectPrinter([=](QPrinter &printer, bool selectionAvailable) {
            EXPECT_EQ(selectionAvailable, selection);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
            return true;
        });
        page->Print();
        return pdf;
    }
};

TEST_F(PrintFromTable, AllObjectsOrTheSelectionWithTheFooter)
{
    load(5);
    QString text = pdfText(print(false));
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Unnamed")));
    EXPECT_TRUE(text.contains(QStringLiteral("Vetradesk Version 1.0.1.0")));
    for (int n = 1; n <= 5; ++n)
        EXPECT_TRUE(text.contains(QStringLiteral("Object %1").arg(n))) << n;

    selectObject(3);
    messages.ExpectSaveFile(dir.filePath(QStringLiteral("site.qxs")));
    ASSERT_TRUE(document->SaveAs());
    text = pdfText(print(true));
    EXPECT_TRUE(text.contains(QStringLiteral("Object 4")));
    EXPECT_FALSE(text.contains(QStringLiteral("Object 3")));
    EXPECT_TRUE(text.contains(QStringLiteral("site.qxs")));
}

// "Pages from 2 to 2" prints the second page alone, numbered as in the whole.
TEST_F(PrintFromTable, APageRangePrintsThosePagesOnly)
{
    load(12);
    page->ExpandAll(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsMeasuring(); }, 20000));
    const QString pdf = dir.filePath(QStringLiteral("range.pdf"));
    messages.ExpectPrinter([=](QPrinter &printer, bool) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        return true;
    });
    page->Print();
    const QString text = pdfText(pdf);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const QRegularExpression pageLine(QStringLiteral("Page (\\d+) of (\\d+)"));
    QStringList pages;
    for (auto it = pageLine.globalMatch(text); it.hasNext();)
        pages << it.next().captured(0);
    ASSERT_EQ(pages.size(), 1) << text.toStdString();
    EXPECT_TRUE(pages[0].startsWith(QStringLiteral("Page 2 of "))) << pages[0].toStdString();
    EXPECT_NE(pages[0], QStringLiteral("Page 2 of 2")) << "twelve expanded objects take more pages";
    EXPECT_FALSE(text.contains(QStringLiteral("Object 1\n"))) << "the first object is on page 1";
}

TEST_F(PrintFromTable, CancelPrintsNothing)
{
    load(1);
    messages.ExpectPrinter([](QPrinter &, bool) { return false; });
    page->Print();
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

// The same printout into a PDF file of the user's choice.
TEST_F(PrintFromTable, APdfReportOfAllObjectsOrTheSelection)
{
    load(4);
    const QString all = dir.filePath(QStringLiteral("report.pdf"));
    messages.ExpectSaveFile(all);
    page->ExportPdfReport();
    const QString text = pdfText(all);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1 of 1")));
    for (int n = 1; n <= 4; ++n)
        EXPECT_TRUE(text.contains(QStringLiteral("Object %1").arg(n))) << n;

    selectObject(2);
    const QString some = dir.filePath(QStringLiteral("some.pdf"));
    selectObject(3);
    messages.ExpectChoice(QStringLiteral("Which objects should the report hold?"), 0);
    messages.ExpectSaveFile(some);
    page->ExportPdfReport();
    ASSERT_FALSE(messages.Choices().empty());
    EXPECT_EQ(messages.Choices().back(),
              (QStringList{QStringLiteral("Selected objects (2)"), QStringLiteral("All objects")}));
    const QString selected = pdfText(some);
    EXPECT_TRUE(selected.contains(QStringLiteral("Object 3")));
    EXPECT_TRUE(selected.contains(QStringLiteral("Object 4")));
    EXPECT_FALSE(selected.contains(QStringLiteral("Object 2")));

    // Cancel writes nothing and asks for no file.
    messages.ExpectChoice(QStringLiteral("Which objects"), -1);
    page->ExportPdfReport();

    // A file that cannot be written is named with the reason, and nothing is left.
    const QString nowhere = dir.filePath(QStringLiteral("missing/report.pdf"));
    messages.ExpectChoice(QStringLiteral("Which objects"), 1);
    messages.ExpectSaveFile(nowhere);
    messages.ExpectBox(nowhere + QStringLiteral(": the file cannot be written: No such file or directory"));
    page->ExportPdfReport();
    EXPECT_FALSE(QFileInfo::exists(nowhere));
    EXPECT_TRUE(messages.Done());
}

}   // namespace
