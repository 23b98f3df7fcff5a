// A download of 549 objects (the most one reply holds) from the simulated
// instrument at 115200 baud: the wall time against the time the bytes take
// on the line (10 bits a byte), paced as a real line is; and the same
// download unpaced, which shows the program's own share.
#include "device/vetrasmartdevice.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "streamio/streamtable.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

using namespace Device;
using namespace StreamIO;

namespace {

struct Run
{
    double wall = 0;
    double line = 0;
    int objects = 0;
};

Run download(VetraSim::CSimulator &sim)
{
    CVetraSmartDevice device;
    auto *stream = new CRs232Stream;
    if (!stream->OpenPort(1, SO_READ | SO_WRITE, device.GetLineSettings()) || !device.Connect(stream, Port_Serial)) {
        std::fprintf(stderr, "cannot open the simulator's port\n");
        std::exit(1);
    }
    SDeviceInfo info;
    if (!device.Identify(info)) {
        std::fprintf(stderr, "the simulator does not identify\n");
        std::exit(1);
    }
    STransferContainer c;
    const double lineBefore = sim.LineSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = device.DownloadObjects(c, CVetraSmartDevice::kDownloadBaud, true);
    Run r;
    r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.line = sim.LineSeconds() - lineBefore;
    r.objects = ok ? int(c.objects.size()) : -1;
    return r;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    InitStreamLayer();
    VetraSim::CSimulator sim;
    sim.GenerateObjects(549);
    sim.Start();
    SetPortMap({{1, sim.SlavePath()}});

    const Run paced = download(sim);
    sim.SetPacing(false);
    const Run unpaced = download(sim);
    sim.Stop();
    ShutdownStreamLayer();
    if (paced.objects != 549 || unpaced.objects != 549) {
        std::fprintf(stderr, "download failed\n");
        return 1;
    }
    std::printf("download of 549 objects (%d bytes of records) at 115200 baud\n", 549 * 262);
    std::printf("paced:   wall %.2f s, line time of the bytes %.2f s, ratio %.3f\n", paced.wall, paced.line,
                paced.wall / paced.line);
    std::printf("unpaced: wall %.3f s (the program's own share)\n", unpaced.wall);
    return 0;
}
