#include "app/resourcebundle.h"

#include <QFile>

#include <functional>
#include <vector>

namespace {

constexpr int kMaxDepth = 16;
constexpr quint32 kDirectory = 0x02;

class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes) {}

    bool u16(qint64 at, quint32 &v) const
    {
        if (at < 0 || at + 2 > m_bytes.size())
            return false;
        const auto *p = reinterpret_cast<const uchar *>(m_bytes.constData() + at);
        v = quint32(p[0]) << 8 | p[1];
        return true;
    }
    bool u32(qint64 at, quint32 &v) const
    {
        quint32 hi = 0, lo = 0;
        if (!u16(at, hi) || !u16(at + 2, lo))
            return false;
        v = hi << 16 | lo;
        return true;
    }
    bool bytes(qint64 at, qint64 n, QByteArray &out) const
    {
        if (at < 0 || n < 0 || at + n > m_bytes.size())
            return false;
        out = m_bytes.mid(at, n);
        return true;
    }
    qint64 size() const { return m_bytes.size(); }

private:
    const QByteArray &m_bytes;
};

}   // namespace

std::optional<QHash<QString, QByteArray>> CResourceBundle::Parse(const QByteArray &bytes)
{
    const Reader r(bytes);
    quint32 version = 0, tree = 0, data = 0, names = 0;
    if (!bytes.startsWith("qres") || !r.u32(4, version) || !r.u32(8, tree) || !r.u32(12, data) || !r.u32(16, names))
        return std::nullopt;
    if (version < 1 || version > 3)
        return std::nullopt;
    const qint64 nodeSize = version >= 2 ? 22 : 14;
    const qint64 nodeCount = (r.size() - qint64(tree)) / nodeSize;
    if (qint64(tree) > r.size() || nodeCount < 1)
        return std::nullopt;

    QHash<QString, QByteArray> files;
    std::vector<bool> visited(std::size_t(nodeCount), false);   // a tree: every node is reached once
    auto nameOf = [&](quint32 offset, QString &name) {
        quint32 length = 0;
        const qint64 at = qint64(names) + offset;
        if (!r.u16(at, length))
            return false;
        QByteArray chars;
        if (!r.bytes(at + 6, qint64(length) * 2, chars))
            return false;
        name.resize(length);
        for (quint32 i = 0; i < length; ++i)
            name[i] = QChar(char16_t(uchar(chars[2 * i]) << 8 | uchar(chars[2 * i + 1])));
        return true;
    };
    // Depth-first from the root node; depth and node indexes are bounded, so
    // a bundle that points into itself ends.
    std::function<bool(qint64, const QString &, int)> walk = [&](qint64 node, const QString &prefix, int depth) {
        if (node < 0 || node >= nodeCount || depth > kMaxDepth || visited[std::size_t(node)])
            return false;
        visited[std::size_t(node)] = true;
        const qint64 at = qint64(tree) + node * nodeSize;
        quint32 nameOffset = 0, flags = 0;
        if (!r.u32(at, nameOffset) || !r.u16(at + 4, flags))
            return false;
        QString name;
        if (node != 0 && !nameOf(nameOffset, name))
            return false;
        const QString path = prefix.isEmpty() ? name : prefix + u'/' + name;
        if (flags & kDirectory) {
            quint32 count = 0, first = 0;
            if (!r.u32(at + 6, count) || !r.u32(at + 10, first) || qint64(first) + count > nodeCount)
                return false;
            for (quint32 i = 0; i < count; ++i)
                if (!walk(qint64(first) + i, path, depth + 1))
                    return false;
            return true;
        }
        quint32 dataOffset = 0, length = 0;
        if (!r.u32(at + 10, dataOffset) || !r.u32(qint64(data) + dataOffset, length))
            return false;
        QByteArray content;
        if (!r.bytes(qint64(data) + dataOffset + 4, length, content))
            return false;
        if (flags & ~kDirectory)
            return false;   // compressed: our bundles never are (built with -no-compress)
        files.insert(path, content);
        return true;
    };
    if (!walk(0, QString(), 0))
        return std::nullopt;
    return files;
}

std::optional<QHash<QString, QByteArray>> CResourceBundle::ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    return Parse(file.readAll());
}
