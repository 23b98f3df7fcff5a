#pragma once
// Which device a port name "COMn" stands for. The application sets a map from
// its settings; VETRADESK_PORTMAP ("COM3=/dev/ttyUSB0;COM7=/dev/pts/4")
// overrides it for users and tests. Unmapped ports count through the present
// devices: /dev/ttyACM*, then /dev/ttyUSB*, then /dev/ttyS*, each in numeric
// order (COM1 is the first).

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace StreamIO {

void SetPortMap(const QHash<std::uint32_t, QString> &map);
QHash<std::uint32_t, QString> PortMap();

// The device path of port `n`, or an empty text when there is none.
QString ResolvePort(std::uint32_t n);

// The port n whose device is `path`, or 0 when no port leads there.
std::uint32_t PortOfDevice(const QString &path);

// Present serial devices in the order unmapped ports count them.
QStringList SerialDevices();

// "COM3=/dev/ttyUSB0;COM7=/dev/pts/4" → {3: ..., 7: ...}; bad entries are skipped.
QHash<std::uint32_t, QString> ParsePortMap(const QString &text);

}   // namespace StreamIO
