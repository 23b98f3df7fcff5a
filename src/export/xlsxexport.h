#pragma once
// The Excel workbook export: a sheet "Objects" with one row per object (its
// figures and, with a required cover, the characteristic value and the
// verdict) and a sheet "Measurements" with one row per measurement. QtCore
// only; the workbook itself is written by libxlsxwriter.

#include "data/coverassessment.h"
#include "data/measurement.h"

#include <QList>
#include <QString>

class IExportProgress;

// True when a chosen path may be used: a name before ".xlsx" in any case.
bool IsXlsxPath(const QString &path);

// Writes the workbook. Values are numbers in the object's unit (inch objects
// in inches, all others in millimetres, the unit in a column of its own); a
// missing value is an empty cell. The characteristic value and verdict columns
// are there only when `assessment` has a required cover. The file is replaced
// only when everything was written; on failure `error` holds the reason and
// an old file is left as it was.
bool WriteXlsxWorkbook(const QString &path, const QList<TVetraObject> &objects, const SAssessmentSettings &assessment,
                       IExportProgress *progress = nullptr, QString *error = nullptr);
