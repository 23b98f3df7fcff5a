#pragma once
// The one-line summary of an object, column by column, as the object table
// shows it and the command-line tool prints it.

#include "data/measurement.h"

#include <QString>
#include <QStringView>

#include <array>

enum NObjectColumn : int {
    Col_Number,
    Col_Name,
    Col_DateTime,
    Col_MinCover,
    Col_MaxCover,
    Col_Regional,
    Col_Total,
    Col_StorageMode,
    Col_Count
};

using ObjectRow = std::array<QString, Col_Count>;

// Column header texts (string resources).
ObjectRow ObjectColumnHeaders();

// " -- mm" when there is no value (the marker 65535.0).
QString FormatCoverStatistic(std::uint8_t regional, double value);

template <class Meas>
ObjectRow ObjectRowTexts(const ObjectFields<Meas> &object, QStringView datePicture, QStringView timePicture);
