#pragma once
// The small pictures of the export dialogs: an icon for each option and the
// previews, drawn from table strips, sheets and a clipboard.

#include "export/ui/optionpanel.h"
#include "render/tablepicture.h"

#include <QRect>

#include <vector>

class QPainter;

namespace ExportPictures {

enum class NIcon { HeadersOnly, AsIs, Details, OneFile, EachFile, Clipboard, All, Selection };

COptionPanel::Painter Icon(NIcon icon);
// An option of the export dialogs: its resource text, object name and icon.
COptionPanel::SOption Option(int textId, const char *name, NIcon icon);

// The graphic export's preview in `area`: one picture, two for a file per
// object, three for a file per object of all objects, 65 px apart, each with
// the target's mark over its lower left corner. Returns the pictures'
// rectangles.
std::vector<QRect> PaintGraphicPreview(QPainter &painter, const QRect &area, Render::NRowsShown what,
                                       NExportTarget target, NExportData data);

// The CSV export's preview: one sheet, a stack of sheets, or the clipboard.
void PaintCsvPreview(QPainter &painter, const QRect &area, NExportTarget target);

inline constexpr int kPictureSpacing = 65;

}   // namespace ExportPictures
