#include "app/startup.h"
#include "cli/cli.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstring>
#include <memory>

namespace {

// Commands that draw need fonts: they get a GUI application on the offscreen
// platform, so they run without a display; the others stay light.
bool drawsPictures(int argc, char **argv)
{
    return argc > 1 && (std::strcmp(argv[1], "export-graphic") == 0 || std::strcmp(argv[1], "print") == 0
                        || std::strcmp(argv[1], "report") == 0);
}

} // namespace

int main(int argc, char **argv)
{
    if (drawsPictures(argc, argv) && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (drawsPictures(argc, argv))
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vetradesk-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    // The same start-up as the desktop program: settings, language, streams,
    // worker; so texts follow the chosen language and dates its patterns.
    CApplicationRun run(QCoreApplication::applicationFilePath());
    const int code = run.IsRunning() ? Cli::Run(args, {out, err}) : 2;
    out.flush();
    err.flush();
    return code;
}
