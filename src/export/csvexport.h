#pragma once
// The three targets of the CSV export: one file, one file per object, and the
// clipboard text. This part is QtCore only; the dialogs and the clipboard
// itself live with the user interface.

#include "data/measurement.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the progress window offers; the export reports per mille and a text.
class IExportProgress
{
public:
    virtual ~IExportProgress() = default;
    virtual void setProgress(int permille) = 0;
    virtual void setStatusText(const QString &text) = 0;
};

// "Data.csv", n = 2 → "Data2.csv": n goes before the last four characters.
QString EachFileName(const QString &path, int n);

// True when a chosen path may be used: longer than 5 characters and ending in
// ".csv" in any case.
bool IsCsvPath(const QString &path);

// Writes the objects into one file, the 445-character separator between two
// objects. An object that cannot be written (unknown regional setting or
// storage mode) contributes no text, but the separator before it stays. The
// file is replaced only when everything was written; on failure `error` holds
// the system's reason and the old file is left as it was.
bool WriteCsvOneFile(const QString &path, const QList<TVetraObject> &objects, IExportProgress *progress = nullptr,
                     QString *error = nullptr);

struct SWriteFailure
{
    QString path;
    QString reason;
};

// Writes object n (1-based) into EachFileName(path, n), no separators. A
// file that cannot be written does not stop the others: `written` lists the
// files that were, `failures` the ones that were not, with the reason.
// False when any failed.
bool WriteCsvEachFile(const QString &path, const QList<TVetraObject> &objects, IExportProgress *progress = nullptr,
                      QStringList *written = nullptr, QList<SWriteFailure> *failures = nullptr);

// Whether an object has a text in the data files: its regional setting and
// storage mode are known.
bool HasDataFileText(const TVetraObject &object);

// The clipboard text: the objects' texts joined by the separator, every ";"
// replaced by a TAB. It keeps every UTF-16 code unit (the files keep only
// the low byte).
QString BuildCsvClipboardText(const QList<TVetraObject> &objects, IExportProgress *progress = nullptr);
