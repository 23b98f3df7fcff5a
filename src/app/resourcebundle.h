#pragma once
// Reads a Qt binary resource bundle (the ".rcc" format that
// qt_add_binary_resources writes), checking every offset against the file, so
// that a damaged or foreign file is refused instead of read out of bounds.
// Only the bundle's uncompressed files are read; nothing is registered or
// executed.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

class CResourceBundle
{
public:
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    // The bundle's files by path ("version.json", "icons/app.png"), or nothing
    // when `bytes` is not a bundle.
    static std::optional<QHash<QString, QByteArray>> Parse(const QByteArray &bytes);
    static std::optional<QHash<QString, QByteArray>> ReadFile(const QString &path);
};
