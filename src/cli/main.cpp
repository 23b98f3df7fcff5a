#include "app/startup.h"
#include "cli/cli.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
