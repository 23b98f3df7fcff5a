// The graphic export from the table: the dialog's choices and name rules,
// the three targets, and what is said when a file cannot be written.
#include "tablefixture.h"

#include "render/detailcell.h"

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPushButton>

using TestSupport::TableTest;
using Model = CObjectTableModel;

namespace {

class GraphicExportFromTable : public TableTest
{
protected:
    void exportGraphic(const char *what, const char *target, const char *data, const std::optional<QString> &path,
                       const QStringList &thenBoxes = {})
    {
        expectExportDialog(QStringLiteral("exportGraphicDialog"),
                           {QString::fromLatin1(what), QString::fromLatin1(target), QString::fromLatin1(data)},
                           QString::fromLatin1(target), path, thenBoxes);
        page->ExportGraphic();
    }
};

TEST_F(GraphicExportFromTable, OneFileOfHeadersHasTheHeaderRowOnceAndARowPerObject)
{
    load(4);
    const QString file = dir.filePath(QStringLiteral("table.PNG"));
    exportGraphic("headersOnly", "oneFile", "all", file);
    const QImage image(file);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.height(), 26 + 22 * 4);
    int width = 0;
    for (int c = 0; c < 8; ++c)
        width += table().columnWidth(c);
    EXPECT_EQ(image.width(), width);
}

TEST_F(GraphicExportFromTable, AsIsShowsTheExpandedObjectsDetailsAndLeavesTheTableAsItWas)
{
    load(3);
    page->SetObjectExpanded(1, true);
    const int detailRow = table().rowHeight(Model::DetailRowOf(1));
    const QString file = dir.filePath(QStringLiteral("asis.bmp"));
    exportGraphic("asIs", "oneFile", "all", file);
    EXPECT_EQ(QImage(file).height(), 26 + 3 * 22 + detailRow);
    EXPECT_TRUE(document->Current().GetObject(1).expanded);
    EXPECT_FALSE(document->Current().GetObject(0).expanded);
    EXPECT_EQ(table().rowHeight(Model::DetailRowOf(1)), detailRow);
}

TEST_F(GraphicExportFromTable, EachSelectedObjectToItsOwnFileWithTheHeaderRow)
{
    load(5);
    for (int object : {0, 2, 4})
        selectObject(object);
    exportGraphic("headersOnly", "eachFile", "selection", dir.filePath(QStringLiteral("N.jpg")));
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(QImage(dir.filePath(QStringLiteral("N%1.jpg").arg(n))).height(), 26 + 22) << n;
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("N4.jpg"))));
}

TEST_F(GraphicExportFromTable, NothingSelectedIsSaidAndNeitherAFileNorTheClipboardIsWritten)
{
    load(2);
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
    for (const char *target : {"oneFile", "clipboard"}) {
        messages.ExpectDialog(QStringLiteral("exportGraphicDialog"), [target](QDialog &dialog) {
            clickOption(dialog, QString::fromLatin1(target));
            dialog.findChild<QPushButton *>(QStringLiteral("export"))->click();
            EXPECT_TRUE(dialog.isVisible());
            dialog.reject();
        });
        messages.ExpectBox(QStringLiteral("No object is selected"));
        page->ExportGraphic();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.png")}).isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

TEST_F(GraphicExportFromTable, NamesThatAreNoPictureKeepTheDialogOpen)
{
    load(1);
    messages.ExpectDialog(QStringLiteral("exportGraphicDialog"), [](QDialog &dialog) {
        auto *exportButton = dialog.findChild<QPushButton *>(QStringLiteral("export"));
        exportButton->click();   // a.txt
        EXPECT_TRUE(dialog.isVisible());
        exportButton->click();   // .png: five characters
        EXPECT_TRUE(dialog.isVisible());
        exportButton->click();   // x.Jpg
        EXPECT_FALSE(dialog.isVisible());
    });
    messages.ExpectSaveFile(dir.filePath(QStringLiteral("a.txt")));
    messages.ExpectSaveFile(QStringLiteral("a.png"));
    messages.ExpectSaveFile(dir.filePath(QStringLiteral("x.Jpg")));
    page->SelectAll();
    page->ExportGraphic();
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("x.Jpg")), "JPG").isNull());
}

TEST_F(GraphicExportFromTable, AFileThatCannotBeWrittenIsNamedAndTheTableStaysAsItWas)
{
    load(2);
    page->SetObjectExpanded(0, true);
    const QString gone = dir.filePath(QStringLiteral("gone/table.png"));
    exportGraphic("details", "oneFile", "all", gone, {gone + QStringLiteral(": the file cannot be written: ")});
    EXPECT_TRUE(document->Current().GetObject(0).expanded);
    EXPECT_FALSE(document->Current().GetObject(1).expanded);
    EXPECT_EQ(table().rowHeight(Model::DetailRowOf(1)), 0);
}

}   // namespace
