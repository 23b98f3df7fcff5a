#include "gui/desktopservices.h"

#include "res/resources.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QUrl>
#include <QVBoxLayout>

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

} // namespace

bool CDesktopServices::OpenUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
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
