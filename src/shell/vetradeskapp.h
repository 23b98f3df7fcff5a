#pragma once
// CVetradeskApp: the desktop program's start and end. Start-up reads the
// settings, loads the language, starts the stream layer and the worker, then
// creates and shows the main window; at the end the worker stops before the
// stream layer goes.

#include "gui/desktopservices.h"
#include "gui/guardedapplication.h"
#include "gui/messageservice.h"

#include <memory>

class CApplicationRun;
class CGuiReporter;
class CMainFrame;

namespace VetraSim {
class CSimulator;
}

class CVetradeskApp : public CGuardedApplication
{
    Q_OBJECT
public:
    CVetradeskApp(int &argc, char **argv);
    ~CVetradeskApp() override;

    // Whether a window can be shown at all (a display, or a platform chosen
    // by QT_QPA_PLATFORM); checked before the application object exists.
    static bool CanShowWindows();

    // False when the program must end (already reported).
    bool InitInstance();
    int ExitInstance();

    CMainFrame *MainFrame() const { return m_frame.get(); }

private:
    void quitAfterFirstPaint();

    CMessageBoxService m_messages;
    CDesktopServices m_desktop;
    std::unique_ptr<CGuiReporter> m_reporter;
    std::unique_ptr<CApplicationRun> m_run;
    std::unique_ptr<VetraSim::CSimulator> m_simulator;
    std::unique_ptr<CMainFrame> m_frame;
};
