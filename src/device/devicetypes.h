#pragma once
// The kinds of instrument and port, what an instrument says of itself and
// what a search looks for: plain values that the windows may pass around
// without reaching the drivers.

#include <QString>

#include <cstdint>

namespace Device {

enum NTypes : std::int32_t {
    Type_Vetrameter = 3,
    Type_Count = 8,   // 0..7 are instrument families
    Type_None = 8,
};

enum NPorts : std::int32_t {
    Port_None = 0,
    Port_Serial = 1,
    Port_Usb = 2,
    Port_Ip = 4,
};

QString GetPortKindText(NPorts kind);

struct SDeviceInfo
{
    QString typeName;
    QString firmwareVersion;
    QString serialNumber;
};

struct SSearchParams
{
    NTypes type = Type_None;
    NPorts portKind = Port_None;
    bool scan = false;         // serial: try COM1..COM256 instead of one port
    bool stopAtFirst = true;   // serial: stop after the first instrument found
    int portNumber = 1;        // serial without scan
    QString address;           // IP
};

}   // namespace Device
