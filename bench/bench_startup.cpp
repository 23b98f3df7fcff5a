// Start-up of the desktop program with a project of 549 objects (the most one
// download brings) until its window is shown and the table painted, against
// `vetradesk-cli info` of the same file in the same run. Both are whole
// processes started from here; the window ends itself after its first paint
// (VETRADESK_EXIT_AFTER_PAINT). Peak memory is each process's maximum
// resident size.
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
    long peakKiB = 0;
    int status = -1;
};

SRun run(const std::vector<std::string> &argv, const std::vector<std::string> &env)
{
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        for (const std::string &e : env)
            putenv(const_cast<char *>(e.c_str()));
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr))
            _exit(126);
        execv(args[0], args.data());
        _exit(127);
    }
    SRun r;
    struct rusage usage
    {
    };
    int status = 0;
    wait4(pid, &status, 0, &usage);
    r.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    r.peakKiB = usage.ru_maxrss;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

SRun bestOf(int runs, const std::vector<std::string> &argv, const std::vector<std::string> &env)
{
    SRun best;
    best.seconds = 1e9;
    for (int i = 0; i < runs; ++i) {
        const SRun r = run(argv, env);
        if (r.status != 0) {
            std::fprintf(stderr, "%s exited with %d\n", argv[0].c_str(), r.status);
            return r;
        }
        if (r.seconds < best.seconds)
            best = r;
    }
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
    run({bin + "/vetradesk-cli", "info", file}, {config});   // warm the caches and write the settings
    const SRun cli = bestOf(kRuns, {bin + "/vetradesk-cli", "info", file}, {config});
    const SRun window = bestOf(kRuns, {bin + "/vetradesk", file}, env);
    if (cli.status != 0 || window.status != 0)
        return 1;
    std::printf("549 objects of 99 measurements, best of %d runs (%s)\n", kRuns,
                qEnvironmentVariableIsSet("DISPLAY") ? "X display" : "offscreen");
    std::printf("%-44s %8.3f s  peak %6ld KiB\n", "vetradesk-cli info", cli.seconds, cli.peakKiB);
    std::printf("%-44s %8.3f s  peak %6ld KiB\n", "vetradesk: window shown and painted", window.seconds,
                window.peakKiB);
    std::printf("ratio window / tool: %.2f (goal: the window within 0.5 s)\n", window.seconds / cli.seconds);
    return 0;
}
