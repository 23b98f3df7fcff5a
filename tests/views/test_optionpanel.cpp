// The export dialogs' drawn option panels, read from their painted pixels and
// driven by the mouse, the keyboard and the accessibility interface.

#include "export/ui/exportbmpdialog.h"
#include "export/ui/exportcsvdialog.h"
#include "export/ui/exportpictures.h"
#include "export/ui/optionpanel.h"
#include "support/scriptedui.h"

#include <QAccessible>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool near(QColor a, QColor b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

::testing::AssertionResult colourAt(const QImage &image, QPoint at, QColor wanted, int tolerance = 2)
{
    const QColor got = image.pixelColor(at);
    if (near(got, wanted, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << at.x() << "," << at.y() << ": " << got.name().toStdString()
                                         << " instead of " << wanted.name().toStdString();
}

class OptionPanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    COptionPanel &panel() { return dialog.Options(); }
    QImage painted()
    {
        QImage image(panel().size(), QImage::Format_RGB32);
        panel().render(&image);
        return image;
    }
    // An option's top border, its inside just below, and its lower inside.
    QPoint border(const QString &name)
    {
        return {panel().OptionRect(name).center().x(), panel().OptionRect(name).top()};
    }
    QPoint insideTop(const QString &name) { return panel().OptionRect(name).topLeft() + QPoint(2, 1); }
    QPoint insideBottom(const QString &name) { return panel().OptionRect(name).bottomLeft() + QPoint(2, -1); }

    TestSupport::CScriptedMessages messages;
    CExportBmpDialog dialog{messages, 1};
};

TEST_F(OptionPanel, BandsTitlesAndTheOptionsStatesAreDrawnInTheirColours)
{
    QImage image = painted();
    for (int group = 0; group < panel().GroupCount(); ++group) {
        const QRect band = panel().BandRect(group);
        EXPECT_TRUE(colourAt(image, band.topLeft() + QPoint(1, 1), COptionPanel::kBand));
        EXPECT_TRUE(colourAt(image, QPoint(band.center().x(), band.bottom() + 1), COptionPanel::kBandLine, 0));
        int titlePixels = 0;
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left(); x <= band.right(); ++x)
                titlePixels += near(image.pixelColor(x, y), COptionPanel::kTitle, 8);
        EXPECT_GT(titlePixels, 20) << "group " << group;
        // A white panel with its border 3 px outside the band.
        EXPECT_TRUE(colourAt(image, band.topLeft() - QPoint(3, 3), COptionPanel::kFrame, 0));
        EXPECT_TRUE(colourAt(image, band.topLeft() - QPoint(1, 1), Qt::white, 0));
    }

    // The defaults: headers and details, one file, the selection.
    const QColor white(Qt::white);
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("details")), QColor(153, 222, 253), 0));
    EXPECT_TRUE(colourAt(image, insideTop(QStringLiteral("details")), QColor(240, 248, 253)));
    EXPECT_TRUE(colourAt(image, insideBottom(QStringLiteral("details")), QColor(213, 239, 252), 3));
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("oneFile")), QColor(153, 222, 253), 0));
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("selection")), QColor(153, 222, 253), 0));
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("headersOnly")), white, 0));
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("all")), white, 0));

    // Hovered only, then hovered and selected.
    QTest::mouseMove(&panel(), panel().OptionRect(QStringLiteral("headersOnly")).center());
    image = painted();
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("headersOnly")), QColor(216, 240, 250), 0));
    EXPECT_TRUE(colourAt(image, insideTop(QStringLiteral("headersOnly")), QColor(245, 250, 253)));
    EXPECT_TRUE(colourAt(image, insideBottom(QStringLiteral("headersOnly")), QColor(232, 246, 253), 3));
    QTest::mouseMove(&panel(), panel().OptionRect(QStringLiteral("details")).center());
    image = painted();
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("details")), QColor(182, 230, 251), 0));
    EXPECT_TRUE(colourAt(image, insideTop(QStringLiteral("details")), QColor(232, 246, 253)));
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("headersOnly")), white, 0));

    // A click picks within its column only; leaving takes the hover away.
    QTest::mouseClick(&panel(), Qt::LeftButton, {}, panel().OptionRect(QStringLiteral("asIs")).center());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&panel(), &leave);
    image = painted();
    EXPECT_EQ(dialog.GetWhat(), Render::NRowsShown::AsIs);
    EXPECT_EQ(dialog.GetTarget(), NExportTarget::OneFile);
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("asIs")), QColor(153, 222, 253), 0));
    EXPECT_TRUE(colourAt(image, border(QStringLiteral("details")), white, 0));
    // Between the options nothing is hit.
    const QRect asIs = panel().OptionRect(QStringLiteral("asIs"));
    QTest::mouseClick(&panel(), Qt::LeftButton, {}, QPoint(asIs.center().x(), asIs.bottom() + 2));
    EXPECT_EQ(dialog.GetWhat(), Render::NRowsShown::AsIs);
}

TEST_F(OptionPanel, KeysPickWithinAColumnAndMoveBetweenColumns)
{
    panel().setFocus();
    QTest::keyClick(&panel(), Qt::Key_Up);
    EXPECT_EQ(dialog.GetWhat(), Render::NRowsShown::AsIs);
    QTest::keyClick(&panel(), Qt::Key_Home);
    EXPECT_EQ(dialog.GetWhat(), Render::NRowsShown::HeadersOnly);
    QTest::keyClick(&panel(), Qt::Key_Up);   // already the first
    EXPECT_EQ(dialog.GetWhat(), Render::NRowsShown::HeadersOnly);
    QTest::keyClick(&panel(), Qt::Key_Right);
    QTest::keyClick(&panel(), Qt::Key_End);
    EXPECT_EQ(dialog.GetTarget(), NExportTarget::Clipboard);
    QTest::keyClick(&panel(), Qt::Key_Right);
    QTest::keyClick(&panel(), Qt::Key_Right);   // the preview is no column to pick in
    QTest::keyClick(&panel(), Qt::Key_Up);
    EXPECT_EQ(dialog.GetData(), NExportData::All);
    EXPECT_EQ(panel().FocusOption(), std::make_pair(2, 0));
    EXPECT_EQ(dialog.GetWhat(), Render::NRowsShown::HeadersOnly);
}

TEST_F(OptionPanel, AssistiveToolsSeeEachOptionAsARadioButtonTheyCanPress)
{
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&panel());
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->childCount(), 8);
    QStringList names;
    for (int i = 0; i < tree->childCount(); ++i) {
        QAccessibleInterface *option = tree->child(i);
        ASSERT_TRUE(option);
        EXPECT_EQ(option->role(), QAccessible::RadioButton);
        EXPECT_EQ(tree->indexOfChild(option), i);
        names << option->text(QAccessible::Name);
    }
    EXPECT_EQ(names.join(u'|'), QStringLiteral("Headers only|As is|Headers and details|One file only|"
                                               "Each object to a separate file|Copy to clipboard|All|Selection only"));
    EXPECT_EQ(tree->child(4)->text(QAccessible::Description), QStringLiteral("2. Select target"));
    EXPECT_TRUE(tree->child(2)->state().checked);
    EXPECT_FALSE(tree->child(1)->state().checked);

    QAccessibleInterface *eachFile = tree->child(4);
    EXPECT_EQ(tree->childAt(eachFile->rect().center().x(), eachFile->rect().center().y()), eachFile);
    eachFile->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(dialog.GetTarget(), NExportTarget::EachFile);
    EXPECT_TRUE(eachFile->state().checked);
    EXPECT_FALSE(tree->child(3)->state().checked);

    panel().setFocus();
    QTest::keyClick(&panel(), Qt::Key_Right);
    ASSERT_TRUE(tree->focusChild());
    EXPECT_EQ(tree->focusChild(), eachFile);
}

TEST(OptionPanelLayout, LongWordsAndTitlesWidenTheirColumnAndNothingOverlaps)
{
    COptionPanel panel;
    panel.AddGroup(QStringLiteral("1. Wählen Sie das Ziel"), 60,
                   {{QStringLiteral("Jedes Objekt in eine eigene Datei"), QStringLiteral("a"), {}},
                    {QStringLiteral("Zwischenablageinhaltsverzeichnis"), QStringLiteral("b"), {}}},
                   0);
    panel.AddGroup(QStringLiteral("Überschriftenzeilenumbruchstest"), 40,
                   {{QStringLiteral("x"), QStringLiteral("c"), {}}}, 0);
    panel.SetPreview(QStringLiteral("Vorschau"), 120, [](QPainter &, const QRect &) {});
    panel.resize(panel.sizeHint());
    const QFontMetrics text(panel.font());
    QFont bold = panel.font();
    bold.setWeight(QFont::ExtraBold);
    const QFontMetrics title(bold);

    const QRect a = panel.OptionRect(QStringLiteral("a"));
    const QRect b = panel.OptionRect(QStringLiteral("b"));
    EXPECT_GE(a.width(), text.horizontalAdvance(QStringLiteral("Zwischenablageinhaltsverzeichnis")));
    EXPECT_GT(a.height(), text.height() + 4) << "the long label wraps";
    EXPECT_LT(a.bottom(), b.top());
    EXPECT_GE(panel.BandRect(1).width(), title.horizontalAdvance(QStringLiteral("Überschriftenzeilenumbruchstest")));
    EXPECT_EQ(panel.BandRect(0).height(), panel.BandRect(1).height());
    EXPECT_LT(panel.BandRect(0).right() + 3, panel.BandRect(1).left() - 3) << "the panels do not touch";
    EXPECT_LT(panel.BandRect(1).right(), panel.PreviewRect().left());
    EXPECT_TRUE(panel.rect().contains(panel.PreviewRect()));
    EXPECT_TRUE(panel.rect().contains(b));
}

TEST(ExportPreview, OneTwoOrThreePictures65PxApartEachWithTheTargetsMarkOverItsCorner)
{
    const QColor background(255, 0, 255);
    struct SCase
    {
        NExportTarget target;
        NExportData data;
        std::size_t pictures;
    };
    for (const SCase &c :
         {SCase{NExportTarget::OneFile, NExportData::Selection, 1}, SCase{NExportTarget::OneFile, NExportData::All, 1},
          SCase{NExportTarget::Clipboard, NExportData::All, 1},
          SCase{NExportTarget::EachFile, NExportData::Selection, 2},
          SCase{NExportTarget::EachFile, NExportData::All, 3}}) {
        QImage image(200, 260, QImage::Format_RGB32);
        image.fill(background);
        QPainter p(&image);
        const std::vector<QRect> pictures = ExportPictures::PaintGraphicPreview(
            p, image.rect(), Render::NRowsShown::Details, c.target, c.data);
        p.end();
        ASSERT_EQ(pictures.size(), c.pictures);
        for (std::size_t i = 1; i < pictures.size(); ++i)
            EXPECT_EQ(pictures[i].top() - pictures[i - 1].top(), ExportPictures::kPictureSpacing);
        int board = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                board += image.pixelColor(x, y) == QColor(196, 160, 110);
        EXPECT_EQ(board > 0, c.target == NExportTarget::Clipboard);
        for (const QRect &r : pictures) {
            // The mark reaches out over the corner and covers the picture's frame there.
            EXPECT_NE(image.pixelColor(r.left() - 4, r.bottom() - 2), background);
            EXPECT_NE(image.pixelColor(r.left(), r.bottom() - 4), COptionPanel::kFrame);
            EXPECT_TRUE(image.rect().contains(r));
        }
    }

    // More rows for more detail: headers only < as is < headers and details.
    auto height = [](Render::NRowsShown what) {
        QImage image(200, 260, QImage::Format_RGB32);
        QPainter p(&image);
        return ExportPictures::PaintGraphicPreview(p, image.rect(), what, NExportTarget::OneFile,
                                                   NExportData::Selection)
            .front()
            .height();
    };
    EXPECT_LT(height(Render::NRowsShown::HeadersOnly), height(Render::NRowsShown::AsIs));
    EXPECT_LT(height(Render::NRowsShown::AsIs), height(Render::NRowsShown::Details));
}

TEST(ExportCsvOptions, TheCsvDialogHasTwoColumnsAndAPreviewWithItsDefaults)
{
    TestSupport::CScriptedMessages messages;
    CExportCsvDialog dialog(messages, 1);
    COptionPanel &panel = dialog.Options();
    EXPECT_EQ(panel.GroupCount(), 2);
    EXPECT_FALSE(panel.PreviewRect().isEmpty());
    EXPECT_EQ(dialog.GetTarget(), NExportTarget::OneFile);
    EXPECT_EQ(dialog.GetData(), NExportData::Selection);
}

}   // namespace
