#include "app/startup.h"
#include "cli/cli.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstring>
#include <memory>
#include <optional>

namespace {

// Commands that draw need fonts: they get a GUI application on the offscreen
// platform, so they run without a display; the others stay light.
bool drawsPictures(int argc, char **argv)
{
    return argc > 1
           && (std::strcmp(argv[1], "export-graphic") == 0 || std::strcmp(argv[1], "print") == 0
               || std::strcmp(argv[1], "report") == 0);
}

}   // namespace

bool answersAlone(int argc, char **argv)
{
    return argc > 1
           && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0
               || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--version") == 0);
}

int main(int argc, char **argv)
{
    // From cron or a plain shell there is no runtime folder, and Qt's GUI
    // part warns about it: give this run a private one.
    std::optional<QTemporaryDir> runtime;
    if (drawsPictures(argc, argv) && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        runtime.emplace(QDir::tempPath() + QStringLiteral("/vetradesk-cli-runtime-XXXXXX"));
        if (runtime->isValid())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
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
    int code;
    if (answersAlone(argc, argv)) {
        // In the chosen language, but nothing started or written.
        LoadChosenLanguage();
        code = Cli::Run(args, {out, err});
    } else {
        // The same start-up as the desktop program: settings, language, streams,
        // worker; so texts follow the chosen language and dates its patterns.
        CApplicationRun run(QCoreApplication::applicationFilePath());
        code = run.IsRunning() ? Cli::Run(args, {out, err}) : 2;
    }
    out.flush();
    err.flush();
    return code;
}
