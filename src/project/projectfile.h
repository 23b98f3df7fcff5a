#pragma once
// The project file (".qxs"): a sequence of archive primitives — title,
// program version, the original list (whole projects only), the current list,
// reserved words. The clipboard payload uses the same layout.

#include "project/vetradata.h"

#include <QStringView>

#include <array>
#include <cstdint>

namespace StreamIO {
class CQXArchive;
}

inline constexpr QStringView kProjectFileTitle = u"QueliX Vetradesk project file";
inline constexpr std::uint16_t kProjectFormatVersion = 1;
inline constexpr int kReservedWords = 20;

using ProgramVersion = std::array<std::uint16_t, 4>;

// With no selection: both lists, all objects. With one: no original list and
// only the flagged current objects.
void WriteProjectFile(const CVetraData &originals, const CVetraData &current, StreamIO::CQXArchive &archive,
                      const Selection *selection, const ProgramVersion &version);

// Appends the stored lists. Throws StreamError: 13 for a wrong title, the
// archive's code for damaged or short data.
void ReadProjectFile(CVetraData &originals, CVetraData &current, StreamIO::CQXArchive &archive);
