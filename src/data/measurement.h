#pragma once
// The two forms of a measurement object: TVetraObject (transfer form, as the
// instrument and the data files carry it) and object_t (the project's form,
// with view state). Both share their fields through ObjectFields so that
// statistics, value texts and comparisons are written once.

#include "data/version.h"

#include <QString>

#include <cstdint>
#include <vector>

// One measurement of the transfer form; three bytes, stored contiguously.
struct TMeas
{
    std::uint8_t number = 0;
    std::uint8_t cover = 255;       // whole millimetres; 255 = no value
    std::uint8_t rawDiameter = 0;   // raw diameter code 1..60; 0 = none
};
static_assert(sizeof(TMeas) == 3);

// One measurement of a project object.
struct MEAS_T
{
    std::uint8_t number = 0;
    std::uint8_t cover = 255;
    std::uint8_t rawDiameter = 0;
};
static_assert(sizeof(MEAS_T) == 3);   // project files store the three bytes as they stand

inline constexpr int kMaxMeasurements = 99;
inline constexpr std::uint8_t kNoCover = 255;
inline constexpr std::uint16_t kUnknownObjectNumber = 0xFFFF;
inline constexpr std::uint8_t kUnknownSetting = 255;

template <class Meas>
struct ObjectFields
{
    CVersion version;
    QString deviceName;
    QString softwareVersion;
    QString serialNumber;
    QString hardwareIndex;
    QString signature;
    std::uint8_t regional = kUnknownSetting;
    std::uint8_t storageMode = kUnknownSetting;
    std::uint8_t rawDefaultBarDiameter = 0;
    std::uint8_t neighborCorrection = 0;
    QString comment;
    QString objectName;
    std::int64_t timeStamp = 0;
    std::uint16_t objectNumber = kUnknownObjectNumber;
    std::vector<Meas> measurements;
};

struct TVetraObject : ObjectFields<TMeas>
{
};

struct object_t : ObjectFields<MEAS_T>
{
    std::int16_t diagramOrder = -1;   // 1 = ordered by value, other = measurement order, -1 = not chosen
    std::int32_t position = -1;       // index in the project list after the last sort
    bool expanded = false;
    bool selected = false;
};

// `added`: the object joins a project's existing objects and starts selected.
// A time stamp of 0 becomes the current time.
object_t ToProjectObject(const TVetraObject &source, bool added);
TVetraObject ToTransferObject(const object_t &source);
