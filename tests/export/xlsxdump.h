#pragma once
// Reads a workbook back through Debian's python3 and openpyxl (xlsxdump.py),
// so the tests see what another reader of the file sees.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

namespace XlsxDump {

inline const QString kPython = QStringLiteral("/usr/bin/python3");

inline bool HaveOpenpyxl()
{
    static const bool have = [] {
        QProcess p;
        p.start(kPython, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }();
    return have;
}

struct SCell
{
    QString type;   // n, s, d, b, e
    QJsonValue value;
    QString format;
};

struct SSheet
{
    QString name;
    int maxRow = 0;
    int maxColumn = 0;
    QString freeze;
    QList<double> widths;   // 0 where the column has none
    QList<QList<SCell>> rows;

    // 1-based like the sheet; an empty cell outside what was read.
    SCell at(int row, int col) const
    {
        if (row < 1 || row > rows.size() || col < 1 || col > rows[row - 1].size())
            return {QStringLiteral("e"), QJsonValue(), QString()};
        return rows[row - 1][col - 1];
    }
    QStringList texts(int row) const
    {
        QStringList out;
        for (const SCell &c : rows.value(row - 1))
            out << c.value.toString();
        return out;
    }
};

// Empty when the reader failed; the failure is recorded in the test.
inline std::optional<QList<SSheet>> Read(const QString &path, int firstRows = 0)
{
    QStringList args{QString::fromUtf8(VETRA_XLSX_DUMP), path};
    if (firstRows > 0)
        args << QStringLiteral("--rows") << QString::number(firstRows);
    QProcess p;
    p.start(kPython, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        ADD_FAILURE() << "xlsxdump.py failed with " << p.exitCode() << ": " << p.readAllStandardError().toStdString();
        return std::nullopt;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput());
    QList<SSheet> sheets;
    for (const QJsonValue &s : doc.object().value(u"sheets").toArray()) {
        const QJsonObject o = s.toObject();
        SSheet sheet;
        sheet.name = o.value(u"name").toString();
        sheet.maxRow = o.value(u"maxRow").toInt();
        sheet.maxColumn = o.value(u"maxColumn").toInt();
        sheet.freeze = o.value(u"freeze").toString();
        for (const QJsonValue &w : o.value(u"widths").toArray())
            sheet.widths << w.toDouble();
        for (const QJsonValue &r : o.value(u"rows").toArray()) {
            QList<SCell> row;
            for (const QJsonValue &c : r.toArray()) {
                const QJsonArray a = c.toArray();
                row.append({a.at(0).toString(), a.at(1), a.at(2).toString()});
            }
            sheet.rows.append(row);
        }
        sheets.append(sheet);
    }
    return sheets;
}

}   // namespace XlsxDump

// Checks the cell's type and, for numbers, its value within `tolerance`.
#define EXPECT_NUMBER_CELL(cell, expected, tolerance)                                                                  \
    do {                                                                                                               \
        const XlsxDump::SCell c_ = (cell);                                                                             \
        EXPECT_EQ(c_.type, QStringLiteral("n")) << #cell;                                                              \
        EXPECT_NEAR(c_.value.toDouble(), (expected), (tolerance)) << #cell;                                            \
    } while (0)
#define EXPECT_TEXT_CELL(cell, expected)                                                                               \
    do {                                                                                                               \
        const XlsxDump::SCell c_ = (cell);                                                                             \
        EXPECT_EQ(c_.type, QStringLiteral("s")) << #cell;                                                              \
        EXPECT_EQ(c_.value.toString(), QString::fromUtf8(expected)) << #cell;                                          \
    } while (0)
#define EXPECT_EMPTY_CELL(cell) EXPECT_EQ((cell).type, QStringLiteral("e")) << #cell
