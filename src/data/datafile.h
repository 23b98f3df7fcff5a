#pragma once
// The instrument's text data file ("Vetrameter+ Data File Version" ...):
// semicolon-separated, fixed-width, one or more objects one after another.
// Text is UTF-16 in memory and one byte per character on disk.

#include "data/measurement.h"
#include "res/usermessage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <stdexcept>

inline constexpr QStringView kDataFileMarker = u"Vetrameter+ Data File Version";

// Three CR LF, three lines of 143 "-", two CR LF: 445 characters that the
// export puts between two objects. Reading does not need it.
QString DataFileSeparator();

QString EscapeText(QStringView text);
QString UnescapeText(QStringView text);

// The layout of one object. Empty when `regional` is not 0..3 or
// `storageMode` not 0 or 1: such an object cannot be written.
QString FormatDataFile(const TVetraObject &object);

// A complete date whose fields are out of range cannot be converted; it ends
// the whole reading operation (objects read before it are not kept).
class DataFileError : public std::runtime_error, public Res::IUserMessage
{
public:
    explicit DataFileError(QString dateText);

    const QString &dateText() const { return m_dateText; }
    const QString &fileName() const { return m_fileName; }
    int objectOrdinal() const { return m_ordinal; }   // 1-based, 0 when unknown
    void setLocation(const QString &fileName, int ordinal);

    // The user's message, from the string resources of the active language.
    QString message() const override;

private:
    QString m_dateText;
    QString m_fileName;
    int m_ordinal = 0;
};

// Fills `object` (a new TVetraObject) from the text of one object; false when
// the text is not an acceptable object. Throws DataFileError.
bool ParseDataFile(QStringView text, TVetraObject &object);

// Splits a whole file's text into object texts and parses each; objects that
// do not parse are skipped silently. Throws DataFileError.
QList<TVetraObject> ParseCsvText(QStringView text);

// The same for a file's bytes, one character per byte (Latin-1); a zero byte
// ends the text.
QList<TVetraObject> ParseCsvBytes(const QByteArray &bytes);

// The file's bytes as text: one character per byte (Latin-1), a zero byte
// ends the text.
QString DecodeDataFileBytes(const QByteArray &bytes);
// The low 8 bits of each UTF-16 code unit.
QByteArray EncodeDataFileText(QStringView text);

// Reads a data file. When the file cannot be opened, returns false and sets
// `error` to the system's reason. Throws DataFileError (with the file name).
bool LoadCsvFile(const QString &path, QList<TVetraObject> &objects, QString *error = nullptr);

// The same, but a file that cannot be opened gives an empty list.
QList<TVetraObject> ReadCsvFile(const QString &path);
