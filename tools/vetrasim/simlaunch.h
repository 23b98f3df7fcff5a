#pragma once
// The simulated instrument as the programs' --simulate option starts it: in
// the process, holding the objects of a data file (or generated ones), on
// serial port COM1.

#include <QString>

#include <memory>

namespace VetraSim {

class CSimulator;

enum class LaunchError { None, NoTerminal, FileUnreadable };

// Null, with the reason in `error`, when it cannot start. The port map entry
// for COM1 stays until StopOnCom1.
std::unique_ptr<CSimulator> StartOnCom1(const QString &objectsFile, LaunchError *error);
void StopOnCom1(std::unique_ptr<CSimulator> &simulator);

}   // namespace VetraSim
