// Reports, the exception guard, file filters and the synchronisation dialog.
#include "gui/commandguard.h"
#include "gui/documentui.h"
#include "gui/messageservice.h"
#include "gui/reporter.h"
#include "gui/synchronizedlg.h"
#include "res/report.h"
#include "res/resources.h"
#include "streamio/streamerror.h"
#include "support/accessibletree.h"
#include "support/scriptedui.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using TestSupport::CScriptedMessages;
using Icon = IMessageService::Icon;
using Buttons = IMessageService::Buttons;

namespace {

class ReporterTest : public ::testing::Test
{
protected:
    void SetUp() override { Res::SetReporter(&reporter); }
    void TearDown() override
    {
        reporter.Shutdown();
        Res::SetReporter(nullptr);
    }

    CScriptedMessages messages;
    CGuiReporter reporter{messages};
};

TEST_F(ReporterTest, EachKindHasItsCaptionIconButtonsAndParagraph)
{
    const QString paragraph = Res::LoadString(Res::IDS_REPORT_LOGFILE_PARAGRAPH);
    messages.ExpectBox(QStringLiteral("boom"));
    messages.ExpectBox(QStringLiteral("careful"), IMessageService::Cancel);
    messages.ExpectBox(QStringLiteral("odd"));
    EXPECT_EQ(Res::ReportMessage(Res::ReportKind::Fatal, QStringLiteral("boom")), Res::ReportAnswer::Ok);
    EXPECT_EQ(Res::ReportMessage(Res::ReportKind::Warning, QStringLiteral("careful")), Res::ReportAnswer::Cancel);
    EXPECT_EQ(Res::ReportMessage(Res::ReportKind(7), QStringLiteral("odd")), Res::ReportAnswer::Ok);

    const auto &boxes = messages.Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Fatal Error"));
    EXPECT_EQ(boxes[0].icon, Icon::Error);
    EXPECT_EQ(boxes[0].buttons, Buttons::Ok);
    EXPECT_EQ(boxes[0].text, QStringLiteral("boom") + paragraph);
    EXPECT_EQ(boxes[1].caption, QStringLiteral("Warning"));
    EXPECT_EQ(boxes[1].icon, Icon::Warning);
    EXPECT_EQ(boxes[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(boxes[1].text, QStringLiteral("careful"));
    EXPECT_EQ(boxes[2].caption, QStringLiteral("Error"));
    EXPECT_EQ(boxes[2].icon, Icon::Error);
    EXPECT_EQ(boxes[2].buttons, Buttons::Ok);
    EXPECT_EQ(boxes[2].text, QStringLiteral("odd"));
}

TEST_F(ReporterTest, AReportFromAnotherThreadWaitsForTheAnswerOnTheUserInterfaceThread)
{
    std::thread::id shownOn;
    messages.ExpectBoxThen(QStringLiteral("worker"), [&] {
        shownOn = std::this_thread::get_id();
        return IMessageService::Cancel;
    });
    std::atomic<bool> done{false};
    Res::ReportAnswer answer = Res::ReportAnswer::Ok;
    std::thread worker([&] {
        answer = Res::ReportMessage(Res::ReportKind::Error, QStringLiteral("worker failed"));
        done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
    worker.join();
    EXPECT_EQ(shownOn, std::this_thread::get_id());
    EXPECT_EQ(answer, Res::ReportAnswer::Cancel);
    ASSERT_EQ(messages.Boxes().size(), 1u);
    EXPECT_TRUE(messages.Boxes()[0].text.endsWith(Res::LoadString(Res::IDS_REPORT_LOGFILE_PARAGRAPH)));
}

TEST_F(ReporterTest, ShutdownReleasesAThreadThatWaitsForAnAnswer)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        Res::ReportMessage(Res::ReportKind::Fatal, QStringLiteral("late"));
        done = true;
    });
    // The user-interface thread does not serve the call (it is busy
    // stopping the worker): once the worker waits, Shutdown must free it.
    while (reporter.WaitingThreads() == 0)
        std::this_thread::yield();
    reporter.Shutdown();
    worker.join();
    EXPECT_TRUE(done);
    QCoreApplication::processEvents();   // a posted call finds the reporter closed
    EXPECT_TRUE(messages.Boxes().empty());
}

TEST(CommandGuard, ShowsTheExceptionsOwnTextOrTheOriginsFallback)
{
    CScriptedMessages messages;
    messages.ExpectBox(QStringLiteral("Command failed."));
    messages.ExpectBox(QStringLiteral("Internal application error."));
    messages.ExpectBox(QStringLiteral("index 9 outside the list"));
    messages.ExpectBox(Res::LoadString(Res::IDS_STREAM_DISK_FULL));
    messages.ExpectBox(Res::LoadString(Res::IDS_STREAM_OUT_OF_MEMORY));

    EXPECT_FALSE(Guard::Run(messages, Guard::Origin::Command, [] { throw std::runtime_error(""); }));
    EXPECT_FALSE(Guard::Run(messages, Guard::Origin::Handler, [] { throw 42; }));
    EXPECT_FALSE(
        Guard::Run(messages, Guard::Origin::Command, [] { throw std::out_of_range("index 9 outside the list"); }));
    EXPECT_FALSE(Guard::Run(messages, Guard::Origin::Command, [] {
        throw StreamIO::StreamError(StreamIO::ERR_DISK_FULL, QStringLiteral("/tmp/x.qxs"));
    }));
    EXPECT_FALSE(Guard::Run(messages, Guard::Origin::Command, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(Guard::Run(messages, Guard::Origin::Command, [] { throw Guard::UserCancelled(); }));
    EXPECT_TRUE(Guard::Run(messages, Guard::Origin::Command, [] {}));

    ASSERT_EQ(messages.Boxes().size(), 5u);
    EXPECT_EQ(messages.Boxes()[0].icon, Icon::Error);
    EXPECT_EQ(messages.Boxes()[4].icon, Icon::Warning);
}

class ThrowingObject : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw std::logic_error("");
        return QObject::event(e);
    }
};

TEST(CommandGuard, AnExceptionInAnEventHandlerIsShownAndEventsGoOn)
{
    CScriptedMessages messages;
    Guard::SetDefaultService(&messages);
    messages.ExpectBox(QStringLiteral("Internal application error."));
    ThrowingObject target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&target);
    bool later = false;
    QMetaObject::invokeMethod(
        &target, [&] { later = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(later);
    Guard::SetDefaultService(nullptr);
    EXPECT_TRUE(messages.Done());
}

TEST(FileFilters, ResourceFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(NameFiltersFromResource(QStringLiteral("VETRADESK Project (*.qxs)|*.qxs|All Files (*.*)|*.*||")),
              (QStringList{QStringLiteral("VETRADESK Project (*.qxs)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(NameFiltersFromResource(QStringLiteral("Pictures|*.png;*.bmp||")),
              QStringList{QStringLiteral("Pictures (*.png *.bmp)")});
    EXPECT_TRUE(NameFiltersFromResource(QString()).isEmpty());
}

TEST(SynchronizeDialog, ShowsTheCountsAndAnswersWithTheDocumentsValues)
{
    const struct
    {
        const char *button;
        int answer;
        IDocumentUi::SyncAnswer sync;
    } cases[] = {
        {"addNewOnly", CSynchronizeDlg::kAddNewOnly, IDocumentUi::SyncAnswer::AddNewOnly},
        {"addAll", CSynchronizeDlg::kAddAll, IDocumentUi::SyncAnswer::AddAll},
        {"cancel", CSynchronizeDlg::kCancel, IDocumentUi::SyncAnswer::Cancel},
    };
    for (const auto &c : cases) {
        CScriptedMessages messages;
        messages.ExpectDialog(QStringLiteral("synchronizeDialog"), [&](QDialog &dialog) {
            auto *label = dialog.findChild<QLabel *>(QStringLiteral("alreadyText"));
            ASSERT_TRUE(label);
            EXPECT_EQ(label->text(), QStringLiteral("3 objects of 5 are already downloaded."));
            EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("addNewOnly"))->text(),
                      QStringLiteral("Add new objects only (2)"));
            EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("addAll"))->text(),
                      QStringLiteral("Add all objects (5)"));
            dialog.findChild<QPushButton *>(QString::fromLatin1(c.button))->click();
            EXPECT_EQ(dialog.result(), c.answer);
        });
        CDocumentUi ui(messages);
        EXPECT_EQ(ui.AskSynchronize(5, 2), c.sync) << c.button;
    }
}

TEST(DocumentQuestions, SavePromptMapsTheThreeAnswers)
{
    CScriptedMessages messages;
    CDocumentUi ui(messages);
    messages.ExpectBox(QStringLiteral("Would you like to save changes in your Project?"), IMessageService::Yes);
    messages.ExpectBox(QString(), IMessageService::No);
    messages.ExpectBox(QString(), IMessageService::Cancel);
    EXPECT_EQ(ui.AskSaveChanges(), IDocumentUi::SaveAnswer::Yes);
    EXPECT_EQ(ui.AskSaveChanges(), IDocumentUi::SaveAnswer::No);
    EXPECT_EQ(ui.AskSaveChanges(), IDocumentUi::SaveAnswer::Cancel);
    EXPECT_EQ(messages.Boxes()[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(messages.Boxes()[0].icon, Icon::Question);
}

}   // namespace

namespace {

// The real box: a person presses a named button, or Escape.
int chooseAndAnswer(const std::function<void(QMessageBox &)> &answer)
{
    CMessageBoxService service;
    QTimer::singleShot(0, [answer] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                answer(*box);
    });
    return service.Choose(Icon::Question, QStringLiteral("Which objects should the report hold?"),
                          {QStringLiteral("Selected objects (2)"), QStringLiteral("All objects")});
}

QPushButton *buttonNamed(QMessageBox &box, const QString &text)
{
    for (QAbstractButton *b : box.buttons())
        if (b->text() == text)
            return qobject_cast<QPushButton *>(b);
    return nullptr;
}

TEST(MessageBoxChoice, TheNamedButtonsAnswerWithTheirIndexAndEscapeCancels)
{
    EXPECT_EQ(chooseAndAnswer([](QMessageBox &box) { buttonNamed(box, QStringLiteral("All objects"))->click(); }), 1);
    EXPECT_EQ(chooseAndAnswer([](QMessageBox &box) {
                  EXPECT_EQ(box.defaultButton(), buttonNamed(box, QStringLiteral("Selected objects (2)")));
                  // The drawn question mark, not the style's bitmap.
                  EXPECT_FALSE(box.iconPixmap().isNull());
                  EXPECT_EQ(box.iconPixmap().deviceIndependentSize().toSize(), QSize(32, 32));
                  const QStringList unnamed = TestSupport::UnnamedControls(box);
                  EXPECT_TRUE(unnamed.isEmpty()) << qPrintable(unnamed.join(u'\n'));
                  QTest::keyClick(&box, Qt::Key_Return);
              }),
              0);
    EXPECT_EQ(chooseAndAnswer([](QMessageBox &box) { QTest::keyClick(&box, Qt::Key_Escape); }), -1);
}

TEST(MessageBoxQuestion, EnterTakesTheDefaultAnswerAndADestructiveQuestionDefaultsToNo)
{
    const auto answerWithEnter = [](IMessageService::Answer preferred) {
        CMessageBoxService service;
        QTimer::singleShot(0, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
                    QTest::keyClick(box, Qt::Key_Return);
        });
        return service.Show(Icon::Question, QStringLiteral("Do you really want to delete all objects on Vetrameter?"),
                            Buttons::YesNoCancel, {}, preferred);
    };
    EXPECT_EQ(answerWithEnter(IMessageService::Yes), IMessageService::Yes);
    EXPECT_EQ(answerWithEnter(IMessageService::No), IMessageService::No);
}

}   // namespace
