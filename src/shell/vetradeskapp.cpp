#include "shell/vetradeskapp.h"

#include "app/startup.h"
#include "gui/commandguard.h"
#include "gui/icons.h"
#include "gui/reporter.h"
#include "instrument/deviceevents.h"
#include "res/resources.h"
#include "shell/childview.h"
#include "shell/mainframe.h"
#include "simlaunch.h"
#include "simulator.h"

#include <QTimer>

#include <cstdio>

CVetradeskApp::CVetradeskApp(int &argc, char **argv) : CGuardedApplication(argc, argv)
{
    setApplicationName(QStringLiteral("vetradesk"));
}

CVetradeskApp::~CVetradeskApp()
{
    ExitInstance();
}

bool CVetradeskApp::CanShowWindows()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
           || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

bool CVetradeskApp::InitInstance()
{
    // Messages of the start-up itself already appear as boxes.
    m_reporter = std::make_unique<CGuiReporter>(m_messages);
    Res::SetReporter(m_reporter.get());
    Guard::SetDefaultService(&m_messages);

    m_run = std::make_unique<CApplicationRun>(applicationFilePath());
    if (!m_run->IsRunning())
        return false;

    QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size();) {
        const QString &a = arguments[i];
        if (a == u"--simulate" || a.startsWith(u"--simulate=")) {
            const QString file = a.section(u'=', 1);
            VetraSim::LaunchError error = VetraSim::LaunchError::None;
            m_simulator = VetraSim::StartOnCom1(file, &error);
            if (error == VetraSim::LaunchError::FileUnreadable)
                m_messages.Show(
                    IMessageService::Icon::Warning,
                    Res::FormatString(Res::IDS_ERR_FILE_READ, {file, Res::LoadString(Res::IDS_STREAM_FILE_NOT_FOUND)}));
            arguments.removeAt(i);
            continue;
        }
        ++i;
    }

    setWindowIcon(Icons::Get(u"vetradesk"));
    m_frame = std::make_unique<CMainFrame>(SShellServices{m_messages, m_desktop});
    m_messages.SetOwner(m_frame.get());
    m_frame->PlaceOnScreen();
    m_frame->OpenFromCommandLine(arguments);
    // A cover meter plugged in while the program runs is found without the wizard.
    m_frame->Connection().WatchDevices(Instrument::OpenDeviceEvents());
    if (qEnvironmentVariableIsSet("VETRADESK_EXIT_AFTER_PAINT"))
        quitAfterFirstPaint();
    m_frame->show();
    m_frame->repaint();
    return true;
}

// For the start-up benchmark and tests: the program prints its title once the
// table has painted, then closes its window as a person would, so that the
// end measured is the one a close goes through. A changed project would ask
// a question nobody is there to answer; then it just quits.
void CVetradeskApp::quitAfterFirstPaint()
{
    class CFirstPaint : public QObject
    {
    public:
        explicit CFirstPaint(CMainFrame *frame) : QObject(frame), m_frame(frame) {}
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            auto *widget = qobject_cast<QWidget *>(watched);
            QWidget *view = &m_frame->View();
            if (event->type() == QEvent::Paint && widget && !m_done && (widget == view || view->isAncestorOf(widget))) {
                m_done = true;
                std::printf("%s\n", qPrintable(m_frame->windowTitle()));
                std::fflush(stdout);
                QTimer::singleShot(0, m_frame, [frame = m_frame] {
                    if (frame->Document().IsModified() || !frame->close())
                        QCoreApplication::quit();
                });
            }
            return false;
        }

    private:
        CMainFrame *m_frame;
        bool m_done = false;
    };
    installEventFilter(new CFirstPaint(m_frame.get()));
}

int CVetradeskApp::ExitInstance()
{
    if (m_reporter)
        m_reporter->Shutdown();   // the worker must not wait for a box now
    m_messages.SetOwner(nullptr);
    m_frame.reset();   // disconnects the instrument
    m_run.reset();     // stops the worker, then the stream layer
    VetraSim::StopOnCom1(m_simulator);
    Guard::SetDefaultService(nullptr);
    Res::SetReporter(nullptr);
    m_reporter.reset();
    return 0;
}
