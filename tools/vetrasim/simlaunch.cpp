#include "simlaunch.h"

#include "simulator.h"
#include "streamio/portmap.h"

namespace VetraSim {
namespace {

constexpr int kGeneratedObjects = 25;

}   // namespace

std::unique_ptr<CSimulator> StartOnCom1(const QString &objectsFile, LaunchError *error)
{
    std::unique_ptr<CSimulator> simulator;
    try {
        simulator = std::make_unique<CSimulator>();
    } catch (const std::exception &) {
        if (error)
            *error = LaunchError::NoTerminal;
        return nullptr;
    }
    if (objectsFile.isEmpty()) {
        simulator->GenerateObjects(kGeneratedObjects);
    } else if (!simulator->LoadObjects(objectsFile)) {
        if (error)
            *error = LaunchError::FileUnreadable;
        return nullptr;
    }
    simulator->Start();
    StreamIO::SetPortMap({{1, simulator->SlavePath()}});
    if (error)
        *error = LaunchError::None;
    return simulator;
}

void StopOnCom1(std::unique_ptr<CSimulator> &simulator)
{
    if (!simulator)
        return;
    simulator.reset();
    StreamIO::SetPortMap({});
}

}   // namespace VetraSim
