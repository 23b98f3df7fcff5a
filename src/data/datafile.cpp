#include "data/datafile.h"

#include "data/scan.h"
#include "data/timetext.h"
#include "data/units.h"
#include "res/resources.h"

#include <QFile>

#include <type_traits>

namespace {

// The file layout's own words. They are the same whatever language is
// active: other programs and the instrument read these files.
constexpr QStringView kRegionalLiterals[] = {u"Metric", u"ASTM inch", u"ASTM mm", u"Japanese"};
constexpr QStringView kStorageLiterals[] = {u"Manual", u"Auto"};
constexpr QStringView kColumnHeaders[] = {
    u"Number            ;Cover [mm]        ;Diameter [mm]     ;Raw Diameter [mm] ",   // Metric
    u"Number            ;Cover [in]        ;Diameter          ;Raw Diameter [mm] ",   // ASTM inch
    u"Number            ;Cover [mm]        ;Diameter          ;Raw Diameter [mm] ",   // ASTM mm
    u"Number            ;Cover [mm]        ;Diameter [mm]     ;Raw Diameter [mm] ",   // Japanese
};
constexpr QStringView kDashes18 = u"------------------";
constexpr QStringView kCrLf = u"\r\n";
constexpr int kKeyWidth = 36;

// A key field: indent, key, blanks up to column 36.
void appendKey(QString &out, QStringView key, bool indented)
{
    const qsizetype start = out.size();
    if (indented)
        out += u"    ";
    out += key;
    out += QString(kKeyWidth - (out.size() - start), u' ');
}

// One header line "key;;;" [apostrophe] value CR LF.
void appendLine(QString &out, QStringView key, QStringView value, bool apostrophe, bool indented = true)
{
    appendKey(out, key, indented);
    out += apostrophe ? u";;;'" : u";;;";
    out += value;
    out += kCrLf;
}

void appendField(QString &out, const QString &value, int blanks)
{
    out += value;
    out += QString(blanks, u' ');
}

QString number(int v)
{
    return QString::number(v);
}

}   // namespace

QString DataFileSeparator()
{
    QString s;
    s.reserve(445);
    s += u"\r\n\r\n\r\n";
    for (int i = 0; i < 3; ++i) {
        s += QString(143, u'-');
        s += kCrLf;
    }
    s += u"\r\n\r\n";
    return s;
}

QString EscapeText(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&': out += u"&amp"; break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                out += u"&#13";
                ++i;
            } else {
                out += c;
            }
            break;
        case u'\n': out += u"&#13"; break;
        case u'"': out += u"&quot"; break;
        case u'\t': out += u"&#9"; break;
        default: out += c; break;
        }
    }
    return out;
}

QString UnescapeText(QStringView text)
{
    // The order matters and is part of the format: "&amp" goes last.
    QString out = text.toString();
    out.replace(QStringLiteral("&#9"), QStringLiteral("\t"));
    out.replace(QStringLiteral("&quot"), QStringLiteral("\""));
    out.replace(QStringLiteral("&#13"), QStringLiteral("\r\n"));
    out.replace(QStringLiteral("&amp"), QStringLiteral("&"));
    return out;
}

QString FormatDataFile(const TVetraObject &o)
{
    if (!IsKnownRegional(o.regional) || (o.storageMode != Storage_Manual && o.storageMode != Storage_Auto))
        return {};
    const bool inch = o.regional == Regional_AstmInch;
    const bool astm = inch || o.regional == Regional_AstmMm;

    QString out;
    out.reserve(1200 + qsizetype(o.measurements.size()) * 78 + o.comment.size() * 2);

    appendLine(out, kDataFileMarker, o.version.toString(CVersion::Style::TwoParts), true, false);
    out += kCrLf;
    out += u"Instrument Data\r\n";
    appendLine(out, u"Name", o.deviceName, false);
    appendLine(out, u"Serial Number", o.serialNumber, false);
    appendLine(out, u"Software Version", o.softwareVersion, true);
    appendLine(out, u"Hardware Index", o.hardwareIndex, false);
    appendLine(out, u"Signature", o.signature, true);
    out += kCrLf;
    out += u"Settings\r\n";
    appendLine(out, u"Regional", kRegionalLiterals[o.regional], false);
    appendLine(out, u"Data Storage Mode", kStorageLiterals[o.storageMode], false);
    appendLine(out, u"Raw Default Bar Diameter [mm]", number(o.rawDefaultBarDiameter), true);
    const QString defaultSize = number(LookupBarSize(o.regional, o.rawDefaultBarDiameter));
    if (astm)
        appendLine(out, u"Default Bar Diameter", u'#' + defaultSize, true);
    else
        appendLine(out, u"Default Bar Diameter [mm]", defaultSize, true);
    QString correction = QStringLiteral("-");
    if (o.neighborCorrection != 0)
        correction = inch ? Res::Format(u"%0.1f", {NeighborCorrectionInches(o.neighborCorrection)})
                          : Res::Format(u"%0.0f", {double(o.neighborCorrection)});
    appendLine(out, inch ? u"Neighboring Bar Correction [in]" : u"Neighboring Bar Correction [mm]", correction, true);
    out += kCrLf;
    out += u"Comment\r\n";
    out += u"    \"";
    out += EscapeText(o.comment);
    out += u"\"\r\n";
    out += u"\r\n\r\n\r\n";
    out += u"Data\r\n";
    appendLine(out, u"Object Number", number(o.objectNumber), false);
    appendLine(out, u"Object Name", u'"' + EscapeText(o.objectName) + u'"', false);

    int f[6] = {0, 0, 0, 0, 0, 0};
    if (const auto t = TimeText::LocalTime(o.timeStamp))
        f[0] = t->tm_mday, f[1] = t->tm_mon + 1, f[2] = t->tm_year + 1900, f[3] = t->tm_hour, f[4] = t->tm_min,
        f[5] = t->tm_sec;
    appendLine(out, u"Date", Res::Format(u"%d.%d.%d  %d:%d:%d", {f[0], f[1], f[2], f[3], f[4], f[5]}), true);
    appendLine(out, u"# of Measurements", number(int(o.measurements.size())), false);
    out += kCrLf;
    out += kCrLf;
    out += kColumnHeaders[o.regional];
    out += kCrLf;
    out += u"------------------;------------------;------------------;------------------\r\n";

    const QString na = QStringLiteral("n/a");
    for (const TMeas &m : o.measurements) {
        appendField(out, Res::Format(u"%2d", {int(m.number)}), 16);
        out += u';';
        if (m.cover == kNoCover)
            appendField(out, na, 15);
        else if (inch)
            appendField(out, Res::Format(u"%4.2f", {m.cover / kMmPerInch}), 14);
        else
            appendField(out, Res::Format(u"%3d", {int(m.cover)}), 15);
        out += u';';
        if (m.rawDiameter == 0) {
            appendField(out, na, 15);
        } else {
            const int size = LookupBarSize(o.regional, m.rawDiameter);
            if (astm)
                appendField(out, u'#' + number(size), size < 10 ? 16 : 15);
            else
                appendField(out, size < 10 ? u' ' + number(size) : number(size), 16);
        }
        out += u';';
        out += m.rawDiameter == 0 ? na : Res::Format(u"%2d", {int(m.rawDiameter)});
        out += kCrLf;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Reading

DataFileError::DataFileError(QString dateText)
    : std::runtime_error("date out of range"), m_dateText(std::move(dateText))
{
}

void DataFileError::setLocation(const QString &fileName, int ordinal)
{
    m_fileName = fileName;
    m_ordinal = ordinal;
}

QString DataFileError::message() const
{
    if (m_fileName.isEmpty())
        return Res::FormatString(Res::IDS_ERR_DATE_OUT_OF_RANGE_NOFILE, {m_dateText});
    return Res::FormatString(Res::IDS_ERR_DATE_OUT_OF_RANGE, {m_fileName, m_dateText, m_ordinal});
}

namespace {

// CR LF, LF and TAB become ";", runs of ";" become one, and one apostrophe
// right after a ";" is dropped: one pass with the result of the five
// replacements the reader is defined by.
// Works on UTF-16 text and directly on a file's bytes (one character each).
template <class Unit>
QString normalise(const Unit *text, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar *d = out.data();
    qsizetype n = 0;
    bool lastSemicolon = false;    // the last character written is a ";" of a run
    bool apostropheFree = false;   // that ";" has not consumed an apostrophe yet
    for (qsizetype i = 0; i < size; ++i) {
        char16_t c = char16_t(std::make_unsigned_t<Unit>(text[i]));
        if (c == u'\r' && i + 1 < size && text[i + 1] == Unit('\n')) {
            c = u';';
            ++i;
        } else if (c == u'\n' || c == u'\t') {
            c = u';';
        }
        if (c == u';') {
            if (!lastSemicolon) {
                d[n++] = QChar(c);
                lastSemicolon = true;
                apostropheFree = true;
            }
            continue;
        }
        if (c == u'\'' && apostropheFree) {
            apostropheFree = false;
            lastSemicolon = false;
            continue;
        }
        d[n++] = QChar(c);
        lastSemicolon = false;
        apostropheFree = false;
    }
    out.truncate(n);
    return out;
}

// Tokens are what lies between semicolons, read like the original reader's
// tokenizer: leading semicolons are skipped, a token may end at the end of
// the text (the position then lies one past it), and -1 means no token left.
class Tokens
{
public:
    explicit Tokens(QStringView text) : m_text(text) {}

    QStringView next(qsizetype &pos) const
    {
        if (pos < 0 || pos >= m_text.size()) {
            pos = -1;
            return {};
        }
        qsizetype i = pos;
        while (i < m_text.size() && m_text[i] == u';')
            ++i;
        if (i >= m_text.size()) {
            pos = -1;
            return {};
        }
        qsizetype end = m_text.indexOf(u';', i);
        if (end < 0)
            end = m_text.size();
        pos = end + 1;
        return m_text.mid(i, end - i);
    }

    qsizetype find(QStringView what, qsizetype from) const
    {
        if (from < 0 || from > m_text.size())
            return -1;
        return m_text.indexOf(what, from);
    }

private:
    QStringView m_text;
};

bool readKeyAndValue(const Tokens &tokens, qsizetype &pos, QStringView &value)
{
    tokens.next(pos);
    if (pos < 0)
        return false;
    value = tokens.next(pos);
    return pos >= 0;
}

// "%d" with a range: negative values are refused too, since every field it
// fills is unsigned.
bool toIntUpTo(QStringView token, std::int64_t max, int &value)
{
    std::int64_t v = 0;
    if (!Scan::ToInt(token, v) || v < 0 || v > max)
        return false;
    value = int(v);
    return true;
}

std::uint8_t regionalFromText(QStringView v)
{
    if (v == u"Metric")
        return Regional_Metric;
    if (v == u"ASTM inch" || v == u"ASTM in")
        return Regional_AstmInch;
    if (v == u"ASTM mm")
        return Regional_AstmMm;
    if (v == u"Japanese")
        return Regional_Japanese;
    return kUnknownSetting;
}

std::uint8_t storageFromText(QStringView v)
{
    if (v == u"M" || v == u"Manual")
        return Storage_Manual;
    if (v == u"A" || v == u"Auto")
        return Storage_Auto;
    return kUnknownSetting;
}

// "%d.%d.%d  %d:%d:%d": the number of fields read (0..6).
int scanDate(QStringView v, int (&f)[6])
{
    static constexpr char16_t kAfter[] = {u'.', u'.', u' ', u':', u':'};
    qsizetype pos = 0;
    for (int i = 0; i < 6; ++i) {
        std::int64_t x = 0;
        if (!Scan::ReadInt(v, pos, x))
            return i;
        f[i] = int(std::clamp<std::int64_t>(x, INT32_MIN, INT32_MAX));
        if (i == 5)
            return 6;
        if (kAfter[i] == u' ') {
            while (pos < v.size() && Scan::IsSpace(v[pos]))
                ++pos;
        } else {
            if (pos >= v.size() || v[pos] != kAfter[i])
                return i + 1;
            ++pos;
        }
    }
    return 6;
}

}   // namespace

// `text` is normalised.
bool parseObject(const QString &text, TVetraObject &o)
{
    const Tokens tokens(text);
    qsizetype pos = 0;

    const QStringView header = tokens.next(pos);
    if (pos < 0 || !header.startsWith(kDataFileMarker))
        return false;
    const QStringView versionText = tokens.next(pos);
    if (pos < 0)
        return false;
    o.version = CVersion::Parse(versionText);
    if (((o.version.value() >> 32) & 0xFFFF) != 1)
        return false;

    struct TextKey
    {
        QStringView key;
        QString TVetraObject::*field;
    };
    const TextKey textKeys[] = {
        {u"Name", &TVetraObject::deviceName},
        {u"Serial Number", &TVetraObject::serialNumber},
        {u"Software Version", &TVetraObject::softwareVersion},
        {u"Hardware Index", &TVetraObject::hardwareIndex},
        {u"Signature", &TVetraObject::signature},
    };
    QStringView value;
    auto findKeyValue = [&](QStringView key) {
        pos = tokens.find(key, pos);
        return pos >= 0 && readKeyAndValue(tokens, pos, value);
    };
    for (const TextKey &k : textKeys) {
        if (!findKeyValue(k.key))
            return false;
        o.*(k.field) = value.toString();
    }
    if (!findKeyValue(u"Regional"))
        return false;
    o.regional = regionalFromText(value);
    if (!findKeyValue(u"Data Storage Mode"))
        return false;
    o.storageMode = storageFromText(value);
    if (!findKeyValue(u"Raw Default Bar Diameter"))
        return false;
    int rawDefault = 0;
    o.rawDefaultBarDiameter = toIntUpTo(value, 100, rawDefault) ? std::uint8_t(rawDefault) : 0;
    if (!findKeyValue(u"Neighboring Bar Correction"))
        return false;
    const int correction = ParseNeighborCorrection(o.regional, value);
    if (correction < 0)
        return false;
    o.neighborCorrection = std::uint8_t(correction);

    // Comment (optional): the text between the next two double quotes.
    if (const qsizetype c = tokens.find(u"Comment", pos); c > 0) {
        const qsizetype q1 = tokens.find(u"\"", c);
        const qsizetype q2 = tokens.find(u"\"", q1 + 1);
        if (q2 > 0 && q1 + 1 > 1) {
            o.comment = UnescapeText(QStringView(text).mid(q1 + 1, q2 - q1 - 1));
            pos = q2;
        } else {
            o.comment.clear();
            pos = c;
        }
    } else {
        o.comment.clear();
    }

    if (!findKeyValue(u"Object Number"))
        return false;
    int objectNumber = 0;
    o.objectNumber = toIntUpTo(value, 500, objectNumber) ? std::uint16_t(objectNumber) : kUnknownObjectNumber;

    // Object name (optional).
    o.objectName.clear();
    if (const qsizetype k = tokens.find(u"Object Name", pos); k > 0) {
        pos = k;
        tokens.next(pos);
        if (pos < 0)
            pos = k;
        const QStringView name = tokens.next(pos);
        if (pos >= 0)
            o.objectName = UnescapeText(name).remove(u'"');
        else
            pos = k;
    }

    // Date (optional).
    if (const qsizetype d = tokens.find(u"Date", pos); d > 0) {
        pos = d;
        if (!readKeyAndValue(tokens, pos, value))
            return false;
        int f[6];
        if (scanDate(value, f) == 6) {
            const auto stamp = TimeText::FromLocal(f[2], f[1], f[0], f[3], f[4], f[5]);
            if (!stamp)
                throw DataFileError(value.trimmed().toString());
            o.timeStamp = *stamp;
        }
    } else {
        o.timeStamp = 0;
    }

    // Measurement table: skip the dashes, then up to 99 rows of four fields.
    pos = tokens.find(kDashes18, pos);
    if (pos < 0)
        return false;
    qsizetype rowStart = pos;
    while (tokens.next(pos) == kDashes18)
        rowStart = pos;
    if (pos < 0)
        return true;
    pos = rowStart;

    o.measurements.clear();
    o.measurements.reserve(kMaxMeasurements);
    for (int row = 0; row < kMaxMeasurements; ++row) {
        TMeas m;
        int v = 0;
        const QStringView numberToken = tokens.next(pos);
        if (pos < 1 || !toIntUpTo(numberToken, 99, v))
            break;
        m.number = std::uint8_t(v);
        const QStringView coverToken = tokens.next(pos);
        if (pos < 1)
            break;
        const int cover = ParseCover(o.regional, coverToken);
        if (cover < 0)
            return false;
        m.cover = std::uint8_t(cover);
        tokens.next(pos);   // nominal diameter: derived from the raw code
        if (pos < 1)
            break;
        const QStringView rawToken = tokens.next(pos);
        if (pos < 1)
            break;
        if (ContainsNotAvailable(rawToken))
            m.rawDiameter = 0;
        else if (toIntUpTo(rawToken, 60, v))
            m.rawDiameter = std::uint8_t(v);
        else
            break;
        o.measurements.push_back(m);
    }
    return true;
}

namespace {

const char16_t *codeUnits(QStringView v)
{
    return v.utf16();
}
const char *codeUnits(QByteArrayView v)
{
    return v.data();
}

// Every occurrence of the marker starts an object text, which runs up to the
// next occurrence; text before the first one is ignored.
template <class View, class Marker>
QList<TVetraObject> parseObjects(View text, Marker marker)
{
    QList<TVetraObject> objects;
    qsizetype start = text.indexOf(marker);
    int ordinal = 0;
    while (start >= 0) {
        const qsizetype next = text.indexOf(marker, start + 1);
        const qsizetype end = next < 0 ? text.size() : next;
        ++ordinal;
        TVetraObject o;
        try {
            if (parseObject(normalise(codeUnits(text) + start, end - start), o))
                objects.append(std::move(o));
        } catch (DataFileError &e) {
            e.setLocation(e.fileName(), ordinal);
            throw;
        }
        start = next;
    }
    return objects;
}

QByteArrayView textBytes(const QByteArray &bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QByteArrayView(bytes.constData(), zero < 0 ? bytes.size() : zero);
}

}   // namespace

bool ParseDataFile(QStringView text, TVetraObject &object)
{
    return parseObject(normalise(text.utf16(), text.size()), object);
}

QList<TVetraObject> ParseCsvText(QStringView text)
{
    return parseObjects(text, kDataFileMarker);
}

QList<TVetraObject> ParseCsvBytes(const QByteArray &bytes)
{
    return parseObjects(textBytes(bytes), QByteArrayView("Vetrameter+ Data File Version"));
}

QString DecodeDataFileBytes(const QByteArray &bytes)
{
    const QByteArrayView text = textBytes(bytes);
    return QString::fromLatin1(text.data(), text.size());
}

QByteArray EncodeDataFileText(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = char(text[i].unicode() & 0xFF);
    return out;
}

bool LoadCsvFile(const QString &path, QList<TVetraObject> &objects, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    try {
        objects = ParseCsvBytes(bytes);
    } catch (DataFileError &e) {
        e.setLocation(path, e.objectOrdinal());
        throw;
    }
    return true;
}

QList<TVetraObject> ReadCsvFile(const QString &path)
{
    QList<TVetraObject> objects;
    LoadCsvFile(path, objects);
    return objects;
}
