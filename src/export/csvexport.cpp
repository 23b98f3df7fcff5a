#include "export/csvexport.h"

#include "data/datafile.h"
#include "res/resources.h"

#include <QSaveFile>

namespace {

void report(IExportProgress *p, int permille, const QString &text)
{
    if (!p)
        return;
    p->setStatusText(text);
    p->setProgress(permille);
}

void start(IExportProgress *p)
{
    report(p, 0, Res::LoadString(Res::IDS_EXPORT_PREPARING));
}

void finish(IExportProgress *p)
{
    if (p)
        p->setProgress(1000);
}

int share(int scale, qsizetype k, qsizetype total)
{
    return total > 0 ? int(scale * k / total) : 0;
}

bool writeAll(QSaveFile &file, const QString &text, QString *error)
{
    const QByteArray bytes = EncodeDataFileText(text);
    if (file.write(bytes) == bytes.size())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool commit(QSaveFile &file, QString *error)
{
    if (file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

}   // namespace

QString EachFileName(const QString &path, int n)
{
    return Res::Format(u"%s%d%s", {path.left(path.size() - 4), n, path.right(4)});
}

bool IsCsvPath(const QString &path)
{
    return path.size() > 5 && path.right(4).compare(u".csv", Qt::CaseInsensitive) == 0;
}

bool WriteCsvOneFile(const QString &path, const QList<TVetraObject> &objects, IExportProgress *progress, QString *error)
{
    start(progress);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QString creating = Res::FormatString(Res::IDS_EXPORT_CREATING, {path});
    const QString separator = DataFileSeparator();
    for (qsizetype k = 0; k < objects.size(); ++k) {
        report(progress, share(950, k, objects.size()), creating);
        QString text = FormatDataFile(objects[k]);
        if (k > 0)
            text.prepend(separator);
        if (!writeAll(file, text, error))
            return false;
    }
    if (!commit(file, error))
        return false;
    finish(progress);
    return true;
}

bool WriteCsvEachFile(const QString &path, const QList<TVetraObject> &objects, IExportProgress *progress,
                      QStringList *written, QList<SWriteFailure> *failures)
{
    start(progress);
    bool all = true;
    for (qsizetype k = 0; k < objects.size(); ++k) {
        const QString name = EachFileName(path, int(k + 1));
        report(progress, share(990, k, objects.size()), Res::FormatString(Res::IDS_EXPORT_CREATING, {name}));
        QSaveFile file(name);
        QString reason;
        const bool ok = file.open(QIODevice::WriteOnly)
                            ? writeAll(file, FormatDataFile(objects[k]), &reason) && commit(file, &reason)
                            : (reason = file.errorString(), false);
        if (ok) {
            if (written)
                written->append(name);
        } else {
            all = false;
            if (failures)
                failures->append({name, reason});
        }
    }
    finish(progress);
    return all;
}

bool HasDataFileText(const TVetraObject &object)
{
    return !FormatDataFile(object).isEmpty();
}

QString BuildCsvClipboardText(const QList<TVetraObject> &objects, IExportProgress *progress)
{
    start(progress);
    const qsizetype total = objects.size();
    const QString creating = Res::FormatString(Res::IDS_EXPORT_CREATING, {QString()});
    const QString separator = DataFileSeparator();

    // Measure first, then build the text once at its final length.
    report(progress, 0, creating);
    QList<QString> texts;
    texts.reserve(total);
    qsizetype length = 0;
    for (qsizetype k = 0; k < total; ++k) {
        report(progress, share(400, k, total), creating);
        texts.append(FormatDataFile(objects[k]));
        length += texts.last().size() + (k > 0 ? separator.size() : 0);
    }
    report(progress, 400, creating);
    QString out;
    out.reserve(length);
    for (qsizetype k = 0; k < total; ++k) {
        report(progress, 400 + share(600, k, total), creating);
        if (k > 0)
            out += separator;
        out += texts[k];
    }
    out.replace(u';', u'\t');
    finish(progress);
    return out;
}
