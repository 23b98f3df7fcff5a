// The main window's download of 549 objects with 99 measurements each from
// the simulated instrument, paced like a real line (10 bits a byte; the
// download switches to 115200 baud), offscreen: the command's wall time
// against the line time of the bytes the simulator sent for it, and the
// user-interface thread's longest stall while the progress window shows,
// seen by a 5 ms timer on that thread. Three runs, each on a new window and a
// new simulator.
#include "benchobjects.h"
#include "benchui.h"
#include "device/vetrasmartdevice.h"
#include "device/worker.h"
#include "gui/desktopservices.h"
#include "gui/progressdlg.h"
#include "instrument/instrumentservice.h"
#include "shell/commands.h"
#include "shell/mainframe.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "streamio/rs232stream.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kObjects = 549;   // the most one reply holds
constexpr int kMeasurements = 99;
constexpr int kRuns = 3;

// Counts what the window would have asked or told, so that a run that met a
// message (a failed download, a question) is reported, not timed.
class CCountingMessages : public Bench::CNoMessages
{
public:
    Answer Show(Icon icon, const QString &text, Buttons buttons, const QString &help, Answer preferred) override
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return CNoMessages::Show(icon, text, buttons, help, preferred);
    }
    int RunDialog(QDialog &dialog) override
    {
        ++shown;
        std::fprintf(stderr, "dialog: %s\n", qPrintable(dialog.objectName()));
        return CNoMessages::RunDialog(dialog);
    }
    int shown = 0;
};

// No browser, viewer or tool is ever started from here.
class CNoDesktop : public IDesktopServices
{
public:
    bool OpenUrl(const QUrl &) override { return false; }
    bool RunAndWait(const QString &, const QStringList &, const QString &, QString *) override { return false; }
};

QList<TVetraObject> makeObjects()
{
    QList<TVetraObject> objects;
    for (int i = 0; i < kObjects; ++i) {
        TVetraObject o = Bench::MakeObject(i, kMeasurements, [](int n, int m) { return (n * 7 + m * 13) % 60 + 15; });
        o.objectNumber = std::uint16_t(i + 1);
        o.timeStamp = 1793520000 + std::int64_t(i) * 1800;
        objects << o;
    }
    return objects;
}

struct SRun
{
    double wall = 0;           // the download command, from the menu choice to the objects in the window
    double line = 0;           // the simulator's line time of the bytes sent meanwhile
    double stallVisible = 0;   // the longest gap between timer ticks, the showing and the hiding of the progress window
    double stallCommand = 0;   // the longest gap over the whole command, including what runs before and after it
    int ticksVisible = 0;
    int objects = -1;
    int messages = 0;
    bool progressShown = false;
};

// Watches the progress window's showing and hiding and takes the timer's
// ticks in between.
class CVisibility : public QObject
{
public:
    CVisibility(SRun *run, QWidget &progress) : m_run(run), m_progress(progress) { progress.installEventFilter(this); }
    ~CVisibility() override { m_progress.removeEventFilter(this); }

    void Tick(Clock::time_point now)
    {
        if (!m_visible)
            return;
        gap(now);
        ++m_run->ticksVisible;
    }
    bool WasShown() const { return m_shown && !m_visible; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_progress && event->type() == QEvent::Show && !m_visible) {
            m_visible = m_shown = true;
            m_last = Clock::now();
        } else if (watched == &m_progress && event->type() == QEvent::Hide && m_visible) {
            gap(Clock::now());
            m_visible = false;
        }
        return false;
    }

private:
    void gap(Clock::time_point now)
    {
        m_run->stallVisible = std::max(m_run->stallVisible, std::chrono::duration<double>(now - m_last).count());
        m_last = now;
    }

    SRun *m_run;
    QWidget &m_progress;
    bool m_visible = false;
    bool m_shown = false;
    Clock::time_point m_last;
};

// The instrument on COM1 held, as the connection wizard leaves it.
void holdInstrument(CMainFrame &frame)
{
    auto device = std::make_unique<Device::CVetraSmartDevice>();
    auto *stream = new StreamIO::CRs232Stream;
    if (!stream->OpenPort(1, StreamIO::SO_READ | StreamIO::SO_WRITE, device->GetLineSettings())
        || !device->Connect(stream, Device::Port_Serial)) {
        std::fprintf(stderr, "cannot open the simulator's port\n");
        std::exit(1);
    }
    frame.Instruments().TakeInstrument(std::move(device));
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

SRun runOnce(const QList<TVetraObject> &objects)
{
    SRun r;
    VetraSim::CSimulator sim;   // paced unless told otherwise
    sim.SetObjects(objects);
    sim.Start();
    StreamIO::SetPortMap({{1, sim.SlavePath()}});
    {
        CCountingMessages messages;
        CNoDesktop desktop;
        CMainFrame frame(SShellServices{messages, desktop});
        frame.resize(1400, 900);
        frame.show();
        QApplication::processEvents();

        holdInstrument(frame);

        // The stall is counted from the progress window's showing to its hiding,
        // so that a thread that never gets back to its events shows as one
        // long gap rather than as no gap at all. Precise timer: the gaps are
        // then the thread's, not the timer's coalescing.
        CVisibility visibility(&r, frame.Progress());
        Clock::time_point last;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const Clock::time_point now = Clock::now();
            r.stallCommand = std::max(r.stallCommand, seconds(now - last));
            last = now;
            visibility.Tick(now);
        });

        const double lineBefore = sim.LineSeconds();
        ticker.start(5);
        const Clock::time_point t0 = Clock::now();
        last = t0;
        frame.Execute(Commands::ID_DOWNLOAD);
        while (frame.IsInstrumentBusy())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        const Clock::time_point t1 = Clock::now();
        ticker.stop();
        r.stallCommand = std::max(r.stallCommand, seconds(t1 - last));   // the work after the last tick
        r.wall = seconds(t1 - t0);
        r.line = sim.LineSeconds() - lineBefore;
        r.objects = frame.Document().Current().GetCount();
        r.messages = messages.shown;
        r.progressShown = visibility.WasShown();
        frame.Connection().DisconnectInstrument();
    }
    sim.Stop();
    StreamIO::SetPortMap({});
    return r;
}

// Delete all (answered Yes) or a download from an instrument that has fallen
// silent (identification times out, the wizard is cancelled): the longest
// stall of the user-interface thread over the whole command.
enum class Other { DeleteAll, SilentDownload };

double stallOf(Other kind)
{
    VetraSim::CSimulator sim;
    sim.SetPacing(false);
    sim.GenerateObjects(20, 10);
    sim.Start();
    StreamIO::SetPortMap({{1, sim.SlavePath()}});
    double stall = 0;
    {
        Bench::CNoMessages messages;   // Yes to the question, Cancel to the wizard
        CNoDesktop desktop;
        CMainFrame frame(SShellServices{messages, desktop});
        frame.show();
        QApplication::processEvents();
        holdInstrument(frame);
        if (kind == Other::SilentDownload)
            sim.SetFault(VetraSim::Fault::Silent);

        Clock::time_point last = Clock::now();
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const Clock::time_point now = Clock::now();
            stall = std::max(stall, seconds(now - last));
            last = now;
        });
        ticker.start(5);
        last = Clock::now();
        frame.Execute(kind == Other::DeleteAll ? Commands::ID_DELETE_ALL : Commands::ID_DOWNLOAD);
        while (frame.IsInstrumentBusy())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        stall = std::max(stall, seconds(Clock::now() - last));
        ticker.stop();
        if (kind == Other::DeleteAll && !sim.Objects().isEmpty()) {
            std::fprintf(stderr, "delete all left %d objects; no figures\n", int(sim.Objects().size()));
            std::exit(1);
        }
    }
    sim.Stop();
    StreamIO::SetPortMap({});
    return stall;
}

}   // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench::CWindowEnvironment environment;
    Device::StartWorker();   // the instrument service's exchanges run there
    const QList<TVetraObject> objects = makeObjects();

    std::printf("window download of %d objects with %d measurements each, paced, 115200 baud, offscreen\n", kObjects,
                kMeasurements);
    std::printf("goals: wall / line time <= 1.01; longest stall over the whole command, identification "
                "included, <= 50 ms\n");
    double ratioBest = 1e9, ratioWorst = 0, stallBest = 1e9, stallWorst = 0, commandWorst = 0;
    for (int run = 1; run <= kRuns; ++run) {
        const SRun r = runOnce(objects);
        if (r.objects != kObjects || r.messages != 0 || !r.progressShown) {
            std::fprintf(stderr, "run %d: %d objects arrived, %d messages shown, progress window %s; no figures\n", run,
                         r.objects, r.messages, r.progressShown ? "shown and hidden" : "not seen");
            return 1;
        }
        const double ratio = r.wall / r.line;
        std::printf("run %d: wall %.3f s, line time %.3f s, ratio %.4f; longest stall %.1f ms with the progress "
                    "shown (%d ticks), %.1f ms over the whole command\n",
                    run, r.wall, r.line, ratio, r.stallVisible * 1e3, r.ticksVisible, r.stallCommand * 1e3);
        ratioBest = std::min(ratioBest, ratio);
        ratioWorst = std::max(ratioWorst, ratio);
        stallBest = std::min(stallBest, r.stallVisible);
        stallWorst = std::max(stallWorst, r.stallVisible);
        commandWorst = std::max(commandWorst, r.stallCommand);
    }
    std::printf("ratio wall / line time: best %.4f, worst %.4f (goal <= 1.01)\n", ratioBest, ratioWorst);
    std::printf("longest stall over the whole download command: worst %.1f ms (goal <= 50)\n", commandWorst * 1e3);
    std::printf("longest stall with the progress shown: best %.1f ms, worst %.1f ms (goal <= 50)\n", stallBest * 1e3,
                stallWorst * 1e3);
    std::printf("longest stall over delete all: %.1f ms (goal <= 50)\n", stallOf(Other::DeleteAll) * 1e3);
    std::printf("longest stall over a download from a silent instrument, to the wizard cancelled: %.1f ms "
                "(goal <= 50)\n",
                stallOf(Other::SilentDownload) * 1e3);
    Device::StopWorker();
    return 0;
}
