#include "export/xlsxexport.h"

#include "data/timetext.h"
#include "data/units.h"
#include "export/csvexport.h"
#include "res/resources.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr lxw_row_t kRowsPerSheet = LXW_ROW_MAX;
constexpr int kLongestCell = 32767;   // Excel's limit for the text of one cell
constexpr double kNarrowest = 6;
constexpr double kWidest = 60;

void report(IExportProgress *p, int permille, const QString &text)
{
    if (!p)
        return;
    p->setStatusText(text);
    p->setProgress(permille);
}

int share(int scale, qsizetype k, qsizetype total)
{
    return total > 0 ? int(scale * k / total) : 0;
}

QString systemReason(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString libraryReason(lxw_error code)
{
    return QString::fromUtf8(lxw_strerror(code));
}

// XML 1.0, which the workbook's parts are, has no place for most control characters.
QString cellText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        out += c;
    }
    out.truncate(kLongestCell);
    return out;
}

bool isInch(std::uint8_t regional)
{
    return regional == Regional_AstmInch;
}

double inUnit(std::uint8_t regional, double mm)
{
    return isInch(regional) ? mm / kMmPerInch : mm;
}

QString unitText(std::uint8_t regional)
{
    return GetUnitText(isInch(regional) ? Regional_AstmInch : Regional_Metric);
}

int decimals(std::uint8_t regional, int kind)
{
    return GetDecimals(IsKnownRegional(regional) ? regional : std::uint8_t(Regional_Metric), kind);
}

// The time the object table shows: summer-time stamps an hour earlier, as
// the instrument records standard time.
std::optional<lxw_datetime> shownTime(std::int64_t stamp)
{
    if (TimeText::IsInDaylightSaving(stamp))
        stamp -= 3600;
    const std::optional<std::tm> t = TimeText::LocalTime(stamp);
    if (!t || t->tm_year + 1900 < 1900 || t->tm_year + 1900 > 9999)
        return std::nullopt;
    return lxw_datetime{t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, double(t->tm_sec)};
}

class CWorkbook;

// One worksheet: its cells, the widest text of each column, and the first
// failure, after which nothing more is written.
class CSheet
{
public:
    CSheet(CWorkbook &book, lxw_worksheet *sheet, const QStringList &headers);
    ~CSheet();

    lxw_row_t row() const { return m_row; }
    void nextRow() { ++m_row; }
    void text(lxw_col_t col, const QString &value);
    void number(lxw_col_t col, std::optional<double> value, int decimals);
    void integer(lxw_col_t col, std::optional<double> value, const char *picture = "0");
    void dateTime(lxw_col_t col, std::optional<lxw_datetime> value);

private:
    void widen(lxw_col_t col, qsizetype chars);
    void check(lxw_error code);

    CWorkbook &m_book;
    lxw_worksheet *m_sheet;
    lxw_row_t m_row = 1;
    std::vector<qsizetype> m_widths;
};

class CWorkbook
{
public:
    explicit CWorkbook(const QByteArray &file)
    {
        lxw_workbook_options options{};
        // Rows go out as they are written, so a project of many objects does not have to fit in memory.
        options.constant_memory = LXW_TRUE;
        m_book = workbook_new_opt(file.constData(), &options);
        if (!m_book)
            fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        else
            m_bold = workbook_add_format(m_book);
        if (m_bold)
            format_set_bold(m_bold);
    }
    ~CWorkbook()
    {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    CWorkbook(const CWorkbook &) = delete;
    CWorkbook &operator=(const CWorkbook &) = delete;

    bool ok() const { return m_error == LXW_NO_ERROR; }
    lxw_error error() const { return m_error; }
    void fail(lxw_error code)
    {
        if (ok())
            m_error = code;
    }

    lxw_worksheet *addSheet(const QString &name)
    {
        if (!ok())
            return nullptr;
        const QByteArray utf8 = name.toUtf8();
        const lxw_error valid = workbook_validate_sheet_name(m_book, utf8.constData());
        if (valid != LXW_NO_ERROR)
            return fail(valid), nullptr;
        lxw_worksheet *sheet = workbook_add_worksheet(m_book, utf8.constData());
        if (!sheet)
            fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return sheet;
    }

    lxw_format *bold() const { return m_bold; }
    lxw_format *picture(const char *numberFormat)
    {
        auto it = m_pictures.find(numberFormat);
        if (it != m_pictures.end())
            return it->second;
        lxw_format *format = workbook_add_format(m_book);
        if (format)
            format_set_num_format(format, numberFormat);
        m_pictures.emplace(numberFormat, format);
        return format;
    }
    lxw_format *decimals(int count)
    {
        static const char *const kPictures[] = {"0", "0.0", "0.00", "0.000"};
        return picture(kPictures[std::clamp(count, 0, 3)]);
    }

    // Writes the file; the workbook is gone afterwards whatever the result.
    bool close()
    {
        lxw_workbook *book = m_book;
        m_book = nullptr;
        if (!ok())
            return lxw_workbook_free(book), false;
        fail(workbook_close(book));
        return ok();
    }

private:
    lxw_workbook *m_book = nullptr;
    lxw_format *m_bold = nullptr;
    std::map<std::string, lxw_format *> m_pictures;
    lxw_error m_error = LXW_NO_ERROR;
};

CSheet::CSheet(CWorkbook &book, lxw_worksheet *sheet, const QStringList &headers)
    : m_book(book), m_sheet(sheet), m_widths(std::size_t(headers.size()), 0)
{
    if (!m_sheet)
        return;
    for (qsizetype col = 0; col < headers.size() && m_book.ok(); ++col) {
        check(worksheet_write_string(m_sheet, 0, lxw_col_t(col), headers[col].toUtf8().constData(), m_book.bold()));
        widen(lxw_col_t(col), headers[col].size());
    }
    worksheet_freeze_panes(m_sheet, 1, 0);
}

CSheet::~CSheet()
{
    if (!m_sheet)
        return;
    for (std::size_t col = 0; col < m_widths.size(); ++col) {
        const double width = std::clamp(double(m_widths[col]) + 2, kNarrowest, kWidest);
        check(worksheet_set_column(m_sheet, lxw_col_t(col), lxw_col_t(col), width, nullptr));
    }
}

void CSheet::text(lxw_col_t col, const QString &value)
{
    const QString shown = cellText(value);
    if (!m_sheet || !m_book.ok() || shown.isEmpty())
        return;
    check(worksheet_write_string(m_sheet, m_row, col, shown.toUtf8().constData(), nullptr));
    widen(col, shown.size());
}

void CSheet::number(lxw_col_t col, std::optional<double> value, int count)
{
    if (!m_sheet || !m_book.ok() || !value)
        return;
    check(worksheet_write_number(m_sheet, m_row, col, *value, m_book.decimals(count)));
    widen(col, QString::number(*value, 'f', count).size());
}

void CSheet::integer(lxw_col_t col, std::optional<double> value, const char *picture)
{
    if (!m_sheet || !m_book.ok() || !value)
        return;
    check(worksheet_write_number(m_sheet, m_row, col, *value, m_book.picture(picture)));
    widen(col, std::max(qsizetype(std::strlen(picture)), QString::number(*value, 'f', 0).size()));
}

void CSheet::dateTime(lxw_col_t col, std::optional<lxw_datetime> value)
{
    static const char kPicture[] = "yyyy-mm-dd hh:mm:ss";
    if (!m_sheet || !m_book.ok() || !value)
        return;
    check(worksheet_write_datetime(m_sheet, m_row, col, &*value, m_book.picture(kPicture)));
    widen(col, qsizetype(std::strlen(kPicture)));
}

void CSheet::widen(lxw_col_t col, qsizetype chars)
{
    if (col < m_widths.size())
        m_widths[col] = std::max(m_widths[col], chars);
}

void CSheet::check(lxw_error code)
{
    if (code != LXW_NO_ERROR)
        m_book.fail(code);
}

QStringList headers(std::initializer_list<int> ids)
{
    QStringList out;
    for (int id : ids)
        out << Res::LoadString(id);
    return out;
}

std::optional<double> objectNumber(const TVetraObject &o)
{
    if (o.objectNumber == kUnknownObjectNumber)
        return std::nullopt;
    return o.objectNumber;
}

std::optional<double> inUnit(std::uint8_t regional, const std::optional<double> &mm)
{
    if (!mm)
        return std::nullopt;
    return inUnit(regional, *mm);
}

void writeObjects(CWorkbook &book, const QList<TVetraObject> &objects, const SAssessmentSettings &assessment,
                  IExportProgress *progress, const QString &creating)
{
    using namespace Res;
    const bool judged = assessment.requiredCover.has_value();
    QStringList names = headers({IDS_XLSX_OBJECT_NUMBER, IDS_XLSX_NAME, IDS_XLSX_DATE_TIME, IDS_XLSX_REGIONAL,
                                 IDS_XLSX_STORAGE_MODE, IDS_XLSX_UNIT, IDS_XLSX_COUNT, IDS_XLSX_MEAN, IDS_XLSX_SD,
                                 IDS_XLSX_MIN, IDS_XLSX_MAX});
    if (judged)
        names << headers({IDS_XLSX_CHAR_NORMAL, IDS_XLSX_VERDICT});
    CSheet sheet(book, book.addSheet(LoadString(IDS_XLSX_SHEET_OBJECTS)), names);
    for (qsizetype k = 0; k < objects.size() && book.ok(); ++k, sheet.nextRow()) {
        report(progress, share(300, k, objects.size()), creating);
        const TVetraObject &o = objects[k];
        std::vector<double> covers;
        AppendValidCovers(o, covers);
        const SCoverAssessment a = AssessCovers(covers, assessment);
        const std::uint8_t r = o.regional;
        sheet.integer(0, objectNumber(o), "000");
        sheet.text(1, o.objectName);
        sheet.dateTime(2, shownTime(o.timeStamp));
        sheet.text(3, GetRegionalText(r));
        sheet.text(4, GetStorageModeText(o.storageMode));
        sheet.text(5, unitText(r));
        sheet.integer(6, a.count);
        sheet.number(7, inUnit(r, a.mean), decimals(r, Kind_MeanCover));
        sheet.number(8, inUnit(r, a.sd), decimals(r, Kind_StdDev));
        sheet.number(9, inUnit(r, a.min), decimals(r, Kind_MinMaxCover));
        sheet.number(10, inUnit(r, a.max), decimals(r, Kind_MinMaxCover));
        if (judged) {
            sheet.number(11, inUnit(r, a.characteristicNormal), decimals(r, Kind_MeanCover));
            sheet.text(12, VerdictText(a.verdict));
        }
    }
}

// Excel ends a sheet at 1 048 576 rows; the measurements go on in "Measurements 2" and so on.
void writeMeasurements(CWorkbook &book, const QList<TVetraObject> &objects, IExportProgress *progress,
                       const QString &creating)
{
    using namespace Res;
    const QString name = LoadString(IDS_XLSX_SHEET_MEASUREMENTS);
    const QStringList names = headers({IDS_XLSX_OBJECT_NUMBER, IDS_XLSX_NAME, IDS_XLSX_MEAS_NUMBER, IDS_XLSX_COVER,
                                       IDS_XLSX_BAR_DIAMETER, IDS_XLSX_UNIT});
    int part = 1;
    auto sheet = std::make_unique<CSheet>(book, book.addSheet(name), names);
    for (qsizetype k = 0; k < objects.size() && book.ok(); ++k) {
        report(progress, 300 + share(600, k, objects.size()), creating);
        const TVetraObject &o = objects[k];
        const std::uint8_t r = o.regional;
        const QString unit = unitText(r);
        for (const TMeas &m : o.measurements) {
            if (sheet->row() == kRowsPerSheet) {
                sheet.reset();   // sizes its columns before the next one begins
                sheet = std::make_unique<CSheet>(book, book.addSheet(Res::Format(u"%s %d", {name, ++part})), names);
            }
            const int bar = LookupBarSize(r, m.rawDiameter);
            sheet->integer(0, objectNumber(o), "000");
            sheet->text(1, o.objectName);
            sheet->integer(2, double(m.number));
            sheet->number(3, m.cover == kNoCover ? std::nullopt : std::optional(inUnit(r, double(m.cover))),
                          decimals(r, Kind_CoverValue));
            sheet->integer(4, bar > 0 ? std::optional(double(bar)) : std::nullopt);
            sheet->text(5, unit);
            sheet->nextRow();
        }
    }
}

// A name of our own beside the target, created here so that the folder's
// refusal shows before any work is done. Empty on failure, `error` set.
QString createTemporary(const QString &path, QString *error)
{
    const QFileInfo target(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = target.absolutePath() + QStringLiteral("/.") + target.fileName() + u'.'
                             + QString::number(QRandomGenerator::global()->generate(), 16) + QStringLiteral(".tmp");
        const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) {
            if (error)
                *error = systemReason(errno);
            return {};
        }
    }
    if (error)
        *error = systemReason(EEXIST);
    return {};
}

// The old file's permissions go over to its successor; a new file keeps those the umask gave it.
void keepPermissions(const QByteArray &from, const QByteArray &to)
{
    struct stat old
    {
    };
    if (::stat(from.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::chmod(to.constData(), old.st_mode & 07777);
}

}   // namespace

bool IsXlsxPath(const QString &path)
{
    return path.size() > 5 && path.right(5).compare(u".xlsx", Qt::CaseInsensitive) == 0;
}

bool WriteXlsxWorkbook(const QString &path, const QList<TVetraObject> &objects, const SAssessmentSettings &assessment,
                       IExportProgress *progress, QString *error)
{
    report(progress, 0, Res::LoadString(Res::IDS_EXPORT_PREPARING));
    const QString temporary = createTemporary(path, error);
    if (temporary.isEmpty())
        return false;
    const QByteArray temporaryName = QFile::encodeName(temporary);
    const QByteArray targetName = QFile::encodeName(path);
    const QString creating = Res::FormatString(Res::IDS_EXPORT_CREATING, {path});

    bool written = false;
    {
        CWorkbook book(temporaryName);
        writeObjects(book, objects, assessment, progress, creating);
        writeMeasurements(book, objects, progress, creating);
        report(progress, 900, creating);
        written = book.close();
        if (!written && error)
            *error = libraryReason(book.error());
    }
    if (written) {
        keepPermissions(targetName, temporaryName);
        written = ::rename(temporaryName.constData(), targetName.constData()) == 0;
        if (!written && error)
            *error = systemReason(errno);
    }
    if (!written) {
        ::unlink(temporaryName.constData());
        return false;
    }
    if (progress)
        progress->setProgress(1000);
    return true;
}
