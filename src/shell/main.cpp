#include "app/language.h"
#include "app/startup.h"
#include "app/versioninfo.h"
#include "res/resources.h"
#include "shell/vetradeskapp.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// A display that is named but cannot be reached, or a platform that does not
// load, is fatal inside Qt: say it in our words instead.
void platformFailed(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    std::fprintf(stderr, "%s\n%s\n", qPrintable(Res::LoadString(Res::IDS_UI_INIT_FAILED)), qPrintable(message));
    _exit(1);
}

}   // namespace

int main(int argc, char **argv)
{
    // Answered without a window, so they work without a display too.
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--version" || arg == "--help" || arg == "-h") {
            QCoreApplication core(argc, argv);
            LoadChosenLanguage();
            const QString text = arg == "--version"
                                     ? QStringLiteral("vetradesk %1\n").arg(ProgramVersionInfo().GetProductVersion())
                                     : Res::LoadString(Res::IDS_APP_USAGE);
            std::fputs(qPrintable(text), stdout);
            return 0;
        }
    }
    if (!CVetradeskApp::CanShowWindows()) {
        // Say it in the chosen language, then end: there is nowhere to show a window.
        QCoreApplication core(argc, argv);
        CApplicationRun run(QCoreApplication::applicationFilePath());
        std::fprintf(stderr, "%s\n", qPrintable(Res::LoadString(Res::IDS_UI_INIT_FAILED)));
        return 1;
    }
    const QtMessageHandler previous = qInstallMessageHandler(platformFailed);
    CVetradeskApp app(argc, argv);
    qInstallMessageHandler(previous);
    if (!app.InitInstance()) {
        app.ExitInstance();
        return 1;
    }
    const int code = app.exec();
    app.ExitInstance();
    return code;
}
