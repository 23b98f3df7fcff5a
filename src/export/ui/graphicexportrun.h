#pragma once
// The graphic export run from the window: pictures of the chosen rows into
// one file, a file per object or the clipboard, with the progress window; a
// failure is said with its file and reason and ends the export.

#include "export/ui/exportbmpdialog.h"

#include <vector>

class IMessageService;
class QWidget;

// False when anything failed (already said).
bool RunGraphicExport(IMessageService &messages, QWidget *owner, const std::vector<const object_t *> &objects,
                      const Render::STableLook &look, Render::NRowsShown shown, CExportBmpDialog::Target target,
                      const QString &path, Render::NImageFormat format);
