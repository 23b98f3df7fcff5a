#include "app/startup.h"
#include "res/resources.h"
#include "shell/vetradeskapp.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (!CVetradeskApp::CanShowWindows()) {
        // Say it in the chosen language, then end: there is nowhere to show a window.
        QCoreApplication core(argc, argv);
        CApplicationRun run(QCoreApplication::applicationFilePath());
        std::fprintf(stderr, "%s\n", qPrintable(Res::LoadString(Res::IDS_UI_INIT_FAILED)));
        return 1;
    }
    CVetradeskApp app(argc, argv);
    if (!app.InitInstance()) {
        app.ExitInstance();
        return 1;
    }
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
