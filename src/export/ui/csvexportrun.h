#pragma once
// The CSV export run from the window: the progress window while it works,
// and afterwards one message for files that could not be written and one
// for objects that have no data-file text.

#include "export/ui/exportcsvdialog.h"

#include "data/measurement.h"

#include <QList>

class IMessageService;
class QWidget;

// False when any file could not be written.
bool RunCsvExport(IMessageService &messages, QWidget *owner, const QList<TVetraObject> &objects,
                  CExportCsvDialog::Target target, const QString &path);
