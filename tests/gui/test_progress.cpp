// The progress window's per-mille and status-text rules.
#include "gui/progressdlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

TEST(ProgressDialog, RepeatedPositionsAndTheFullBar)
{
    CProgressDlg dialog(nullptr);
    dialog.show();
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    ASSERT_TRUE(bar);
    QSignalSpy values(bar, &QProgressBar::valueChanged);
    for (int p : {500, 500, 1000, 1000})
        dialog.SetProgress(p);
    QList<int> shown;
    for (const QList<QVariant> &v : values)
        shown << v.at(0).toInt();
    EXPECT_EQ(shown, (QList<int>{500, 999, 1000, 999, 1000}));
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(dialog.LastPosition(), 1000);

    // A lower position after the full bar is shown as it is.
    dialog.SetProgress(50);
    EXPECT_EQ(bar->value(), 50);
}

TEST(ProgressDialog, TheSameStatusTextRepaintsOnlyOnce)
{
    CProgressDlg dialog(nullptr);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto *text = dialog.findChild<QLabel *>(QStringLiteral("statusText"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->text(), QStringLiteral("Please wait while downloading..."));
    PaintCounter counter;
    text->installEventFilter(&counter);
    dialog.SetStatusText(QStringLiteral("Creating a.csv ..."));
    const int afterFirst = counter.paints;
    dialog.SetStatusText(QStringLiteral("Creating a.csv ..."));
    EXPECT_GE(afterFirst, 1);
    EXPECT_EQ(counter.paints, afterFirst);
    EXPECT_EQ(text->text(), QStringLiteral("Creating a.csv ..."));
}

}   // namespace

// The comment dialog keeps line breaks as CR LF.
#include "gui/commentdlg.h"

#include <QPlainTextEdit>

namespace {

TEST(CommentDialog, LinesComeBackWithCarriageReturnAndLineFeed)
{
    CCommentDlg dialog;
    dialog.SetComment(QString());
    EXPECT_EQ(dialog.GetComment(), QString());
    dialog.SetComment(QStringLiteral("Column C3\r\nBelow window & door"));
    auto *field = dialog.findChild<QPlainTextEdit *>(QStringLiteral("comment"));
    ASSERT_TRUE(field);
    EXPECT_EQ(field->blockCount(), 2);
    EXPECT_EQ(field->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(dialog.GetComment(), QStringLiteral("Column C3\r\nBelow window & door"));
    dialog.show();
    EXPECT_EQ(field->textCursor().position(), field->toPlainText().size());
    field->appendPlainText(QStringLiteral("third"));
    EXPECT_EQ(dialog.GetComment(), QStringLiteral("Column C3\r\nBelow window & door\r\nthird"));
}

}   // namespace
