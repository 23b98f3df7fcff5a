#include "gui/desktopservices.h"

#include "res/resources.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {

// Shown while a started program runs: modal, without buttons, and not closed
// by Escape, so the main window paints but takes no input.
class CWaitDialog : public QDialog
{
public:
    CWaitDialog(const QString &text, QWidget *owner)
        : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setWindowTitle(Res::LoadString(Res::IDS_APP_TITLE));
        setModal(true);
        auto *label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(24, 18, 24, 18);
        layout->addWidget(label);
    }

    void reject() override {}
    void finish() { QDialog::accept(); }
};

// Why the desktop's opener failed: what it said, else its exit code.
QString openerFailure(QProcess &opener)
{
    QString reason = QString::fromLocal8Bit(opener.readAllStandardError()).trimmed();
    return reason.isEmpty() ? Res::FormatString(Res::IDS_OPENER_EXIT_CODE, {opener.exitCode()}) : reason;
}

}   // namespace

bool IDesktopServices::OpenFile(const QString &path, QString *)
{
    return OpenUrl(QUrl::fromLocalFile(path));
}

void IDesktopServices::ShowFile(const QString &path, QObject *, std::function<void(const QString &)> failed)
{
    QString reason;
    if (!OpenFile(path, &reason))
        failed(reason);
}

void CDesktopServices::ShowFile(const QString &path, QObject *context, std::function<void(const QString &)> failed)
{
    auto *opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({path});
    const QPointer<QObject> caller(context);
    QObject::connect(opener, &QProcess::finished, opener, [=](int code, QProcess::ExitStatus status) {
        if ((status != QProcess::NormalExit || code != 0) && caller)
            failed(openerFailure(*opener));
        opener->deleteLater();
    });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [=](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        if (caller)
            failed(opener->errorString());
        opener->deleteLater();
    });
    opener->start();
}

bool CDesktopServices::OpenUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool CDesktopServices::OpenFile(const QString &path, QString *reason)
{
    // QDesktopServices only says that the opener started; its exit status
    // says whether the desktop had a program for the file (3: none).
    constexpr int kOpenerWaitMs = 10000;
    auto *opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({path});
    QEventLoop loop;
    QObject::connect(opener, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(kOpenerWaitMs, &loop, &QEventLoop::quit);
    opener->start();
    if (opener->state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (opener->state() != QProcess::NotRunning) {
        // Still at work, so it found a program; it ends in its own time.
        QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
        return true;
    }
    const std::unique_ptr<QProcess> done(opener);
    if (done->error() == QProcess::FailedToStart) {
        if (reason)
            *reason = done->errorString();
        return false;
    }
    if (done->exitStatus() == QProcess::NormalExit && done->exitCode() == 0)
        return true;
    if (reason)
        *reason = openerFailure(*done);
    return false;
}

bool CDesktopServices::RunAndWait(const QString &program, const QStringList &arguments, const QString &waitText,
                                  QString *error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        if (error)
            *error = process.errorString();
        return false;
    }
    CWaitDialog wait(waitText, QApplication::activeWindow());
    QObject::connect(&process, &QProcess::finished, &wait, &CWaitDialog::finish);
    if (process.state() != QProcess::NotRunning)
        wait.exec();
    return true;
}
