// CSV export from the table: the dialog's options and name rules, the three
// targets, and what is said when something cannot be exported.
#include "tablefixture.h"

#include "export/csvexport.h"
#include "support/clirun.h"

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>

using TestSupport::ReadBytes;
using TestSupport::TableTest;
using Model = CObjectTableModel;

namespace {

class CsvExportFromTable : public TableTest
{
protected:
    // Runs Export as CSV with the options named, answering the save dialog
    // with `path` (nothing for the clipboard).
    void exportCsv(const char *target, const char *data, const std::optional<QString> &path,
                   const QStringList &thenBoxes = {})
    {
        expectExportDialog(QStringLiteral("exportCsvDialog"), {QString::fromLatin1(target), QString::fromLatin1(data)},
                           QString::fromLatin1(target), path, thenBoxes);
        page->ExportCsv();
    }
    QString saveProject()
    {
        const QString file = dir.filePath(QStringLiteral("site.qxs"));
        EXPECT_TRUE(document->SaveToPath(file));
        return file;
    }
};

TEST_F(CsvExportFromTable, OneFileOfAllObjectsIsWhatTheToolWrites)
{
    load(3);
    const QString project = saveProject();
    const QString ours = dir.filePath(QStringLiteral("ours.csv"));
    exportCsv("oneFile", "all", ours);
    const QString tools = dir.filePath(QStringLiteral("tools.csv"));
    ASSERT_EQ(TestSupport::RunCli({QStringLiteral("convert"), QStringLiteral("-o"), tools, project}).code, 0);
    EXPECT_EQ(ReadBytes(ours), ReadBytes(tools));
}

TEST_F(CsvExportFromTable, OneFileOfTheSelectionHoldsTheSelectedObjectsInListOrder)
{
    load(5);
    selectObject(3);
    selectObject(1);
    const QString ours = dir.filePath(QStringLiteral("two.csv"));
    exportCsv("oneFile", "selection", ours);
    const QString expected = dir.filePath(QStringLiteral("expected.csv"));
    ASSERT_TRUE(
        WriteCsvOneFile(expected, {document->Current().ToTransferObject(1), document->Current().ToTransferObject(3)}));
    EXPECT_EQ(ReadBytes(ours), ReadBytes(expected));

    // Nothing selected: said at once, no file asked for or written, and
    // "All" from the same dialog still exports.
    table().clearSelection();
    const QString none = dir.filePath(QStringLiteral("none.csv"));
    messages.ExpectDialog(QStringLiteral("exportCsvDialog"), [this](QDialog &dialog) {
        clickOption(dialog, QStringLiteral("selection"));
        dialog.findChild<QPushButton *>(QStringLiteral("export"))->click();
        EXPECT_TRUE(dialog.isVisible());
        clickOption(dialog, QStringLiteral("all"));
        dialog.findChild<QPushButton *>(QStringLiteral("export"))->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    messages.ExpectBox(QStringLiteral("No object is selected"));
    messages.ExpectSaveFile(none);
    page->ExportCsv();
    EXPECT_EQ(ReadBytes(none).count("\r\n\r\n\r\n---"), 4) << "all five objects";
}

TEST_F(CsvExportFromTable, EachObjectToItsOwnFileAsTheToolWritesThem)
{
    load(3);
    const QString project = saveProject();
    QDir(dir.path()).mkdir(QStringLiteral("ours"));
    QDir(dir.path()).mkdir(QStringLiteral("tools"));
    exportCsv("eachFile", "all", dir.filePath(QStringLiteral("ours/Data.csv")));
    ASSERT_EQ(TestSupport::RunCli({QStringLiteral("convert"), QStringLiteral("--each"), QStringLiteral("-o"),
                                   dir.filePath(QStringLiteral("tools/Data.csv")), project})
                  .code,
              0);
    for (int n = 1; n <= 3; ++n) {
        const QString name = QStringLiteral("/Data%1.csv").arg(n);
        ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("ours") + name))) << n;
        EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("ours") + name)),
                  ReadBytes(dir.filePath(QStringLiteral("tools") + name)));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("ours/Data4.csv"))));
}

TEST_F(CsvExportFromTable, TheClipboardTargetPutsTheTabSeparatedText)
{
    load(2);
    exportCsv("clipboard", "all", std::nullopt);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text, BuildCsvClipboardText(
                        {document->Current().ToTransferObject(0), document->Current().ToTransferObject(1)}));
    EXPECT_TRUE(text.startsWith(QStringLiteral("Vetrameter+ Data File Version")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t\t\t'1.0")));
    EXPECT_FALSE(text.contains(u';'));
}

TEST_F(CsvExportFromTable, ANameThatIsNotCsvKeepsTheDialogOpen)
{
    load(1);
    messages.ExpectDialog(QStringLiteral("exportCsvDialog"), [this](QDialog &dialog) {
        clickOption(dialog, QStringLiteral("all"));
        auto *exportButton = dialog.findChild<QPushButton *>(QStringLiteral("export"));
        exportButton->click();   // a.txt
        EXPECT_TRUE(dialog.isVisible());
        exportButton->click();   // .csv: five characters
        EXPECT_TRUE(dialog.isVisible());
        exportButton->click();   // cancelled save dialog
        EXPECT_TRUE(dialog.isVisible());
        exportButton->click();   // x.CSV
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    messages.ExpectSaveFile(dir.filePath(QStringLiteral("a.txt")));
    messages.ExpectSaveFile(QStringLiteral("a.csv"));
    messages.ExpectSaveFile(std::nullopt);
    messages.ExpectSaveFile(dir.filePath(QStringLiteral("x.CSV")));
    page->ExportCsv();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("x.CSV"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.txt"))));
}

TEST_F(CsvExportFromTable, FilesThatCannotBeWrittenAreNamedWithTheirReason)
{
    load(3);
    exportCsv("oneFile", "all", dir.filePath(QStringLiteral("gone/one.csv")),
              {dir.filePath(QStringLiteral("gone/one.csv")) + QStringLiteral(": the file cannot be written: ")});

    // The second file is in the way; the others are still written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Data2.csv")));
    exportCsv("eachFile", "all", dir.filePath(QStringLiteral("Data.csv")),
              {QStringLiteral("1 of 3 files could not be written:\n") + dir.filePath(QStringLiteral("Data2.csv"))});
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Data1.csv"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Data3.csv"))));
}

TEST_F(CsvExportFromTable, ObjectsWithoutADataFileTextAreCountedAndNamed)
{
    TVetraObject odd = TestSupport::MakeObject(7, {20}, 9);   // no such regional setting
    odd.objectName = QStringLiteral("Odd one");
    document->AddObjects({TestSupport::MakeObject(1, {20}), odd}, false, false);
    exportCsv("oneFile", "all", dir.filePath(QStringLiteral("two.csv")),
              {QStringLiteral("1 objects were not exported because their regional setting or data storage mode is "
                              "unknown:\n007 Odd one")});
    EXPECT_EQ(messages.Boxes().back().icon, IMessageService::Icon::Warning);
}

}   // namespace
