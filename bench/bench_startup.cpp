// Start-up of the desktop program with a project of 549 objects (the most one
// download brings) until its window is shown and the table painted, against
// `vetradesk-cli info` of the same file in the same run, and the window's end:
// from its first paint, after which it closes its window itself
// (VETRADESK_EXIT_AFTER_PAINT), until this parent has reaped it. Both are whole
// processes started from here. Peak memory is each process's maximum resident
// size.
#include "benchobjects.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

TVetraObject makeObject(int i)
{
    TVetraObject o = Bench::MakeObject(i, 99, [](int n, int m) { return (n * 7 + m * 13) % 200 + 5; });
    o.timeStamp = 1767225600 + std::int64_t(i) * 61;
    o.objectNumber = std::uint16_t(i + 1);
    return o;
}

struct SRun
{
    double seconds = 0;
    double closing = 0;        // from the first line it printed to its end
    double closingWorst = 0;   // of several runs
    long peakKiB = 0;
    int status = -1;
};

// A window counts until its first line (printed after its first paint); a
// tool until its end.
SRun run(const std::vector<std::string> &argv, const std::vector<std::string> &env, bool window)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0)
        return {};
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const std::string &e : env)
            putenv(const_cast<char *>(e.c_str()));
        close(out[0]);
        if (dup2(out[1], STDOUT_FILENO) < 0 || !freopen("/dev/null", "w", stderr))
            _exit(126);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    // The window prints its title after the first paint and then closes.
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') {
    }
    const auto printed = Clock::now();
    while (read(out[0], &c, 1) == 1) {
    }
    close(out[0]);
    SRun r;
    struct rusage usage
    {
    };
    int status = 0;
    wait4(pid, &status, 0, &usage);
    const auto ended = Clock::now();
    r.seconds = std::chrono::duration<double>((window ? printed : ended) - t0).count();
    r.closing = std::chrono::duration<double>(ended - printed).count();
    r.peakKiB = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

SRun bestOf(int runs, const std::vector<std::string> &argv, const std::vector<std::string> &env, bool window)
{
    SRun best;
    best.seconds = 1e9;
    double fastestClosing = 1e9;
    double slowestClosing = 0;
    for (int i = 0; i < runs; ++i) {
        const SRun r = run(argv, env, window);
        if (r.status != 0) {
            std::fprintf(stderr, "%s exited with %d\n", argv[0].c_str(), r.status);
            return r;
        }
        if (r.seconds < best.seconds)
            best = r;
        fastestClosing = std::min(fastestClosing, r.closing);
        slowestClosing = std::max(slowestClosing, r.closing);
    }
    best.closing = fastestClosing;
    best.closingWorst = slowestClosing;
    return best;
}

}   // namespace

int main(int argc, char **argv)
{
    const std::string bin = argc > 1 ? argv[1] : VETRA_PROGRAM_DIR;
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("site.qxs"));
    {
        StreamIO::InitStreamLayer();
        Bench::CQuietUi ui;
        CVetraDoc doc(ui);
        QList<TVetraObject> objects;
        for (int i = 0; i < 549; ++i)
            objects << makeObject(i);
        doc.AddObjects(objects, false, false);
        if (!doc.SaveToPath(project))
            return 1;
        StreamIO::ShutdownStreamLayer();
    }
    const std::string file = project.toStdString();
    const std::string config = "XDG_CONFIG_HOME=" + dir.filePath(QStringLiteral("config")).toStdString();
    std::vector<std::string> env{config, "VETRADESK_EXIT_AFTER_PAINT=1"};
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        env.push_back("QT_QPA_PLATFORM=offscreen");

    constexpr int kRuns = 7;
    run({bin + "/vetradesk-cli", "info", file}, {config}, false);   // warm the caches and write the settings
    const SRun cli = bestOf(kRuns, {bin + "/vetradesk-cli", "info", file}, {config}, false);
    const SRun window = bestOf(kRuns, {bin + "/vetradesk", file}, env, true);
    // The simulator's thread and the instrument worker must end with it too.
    const SRun simulated = bestOf(kRuns, {bin + "/vetradesk", file, "--simulate"}, env, true);
    if (cli.status != 0 || window.status != 0 || simulated.status != 0)
        return 1;
    std::printf("549 objects of 99 measurements, best of %d runs (%s)\n", kRuns,
                qEnvironmentVariableIsSet("DISPLAY") ? "X display" : "offscreen");
    std::printf("%-44s %8.3f s  peak %6ld KiB\n", "vetradesk-cli info", cli.seconds, cli.peakKiB);
    std::printf("%-44s %8.3f s  peak %6ld KiB\n", "vetradesk: window shown and painted", window.seconds,
                window.peakKiB);
    std::printf("ratio window / tool: %.2f (goal: the window within 0.5 s)\n", window.seconds / cli.seconds);
    std::printf("%-44s %8.3f s  worst %.3f s\n", "vetradesk: window closed until reaped", window.closing,
                window.closingWorst);
    std::printf("%-44s %8.3f s  worst %.3f s\n", "  the same with --simulate", simulated.closing,
                simulated.closingWorst);
    return 0;
}
