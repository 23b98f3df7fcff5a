#pragma once
// Regional settings, units, decimals, nominal bar sizes, value texts and the
// two value parsers of the data file. Values are stored in whole millimetres
// and raw diameter codes; only these functions turn them into units.

#include "data/measurement.h"

#include <QString>
#include <QStringView>

#include <cstdint>

enum NRegional : std::uint8_t {
    Regional_Metric = 0,
    Regional_AstmInch = 1,
    Regional_AstmMm = 2,
    Regional_Japanese = 3,
};

enum NStorageMode : std::uint8_t {
    Storage_Manual = 0,
    Storage_Auto = 1,
};

// Kinds of values for GetDecimals.
enum NValueKind : int {
    Kind_MeanCover = 0,
    Kind_CoverValue = 1,
    Kind_MinMaxCover = 2,
    Kind_NeighborCorrection = 3,
    Kind_StdDev = 4,
};

inline constexpr double kMmPerInch = 25.4;

bool IsKnownRegional(std::uint8_t regional);

// Display texts (string resources of the active language).
QString GetRegionalText(std::uint8_t regional);
QString GetUnitText(std::uint8_t regional);
QString GetStorageModeText(std::uint8_t storageMode);
QString NotAvailableText();

int GetDecimals(std::uint8_t regional, int kind);
int LookupBarSize(std::uint8_t regional, int rawDiameterCode);
double NeighborCorrectionInches(int millimetres);

QString FormatCoverValue(std::uint8_t regional, std::uint8_t cover);
template <class Meas>
QString FormatCover(const ObjectFields<Meas> &object, int index)
{
    return FormatCoverValue(object.regional, object.measurements.at(std::size_t(index)).cover);
}
QString FormatBarDiameter(std::uint8_t regional, int rawDiameterCode);
QString FormatNeighborCorrection(std::uint8_t regional, int millimetres);

// True when "n/a" stands anywhere in the text (the no-value mark of the files).
bool ContainsNotAvailable(QStringView text);

// Negative results mean the text is not acceptable.
int ParseCover(std::uint8_t regional, QStringView text);
int ParseNeighborCorrection(std::uint8_t regional, QStringView text);
