#pragma once
// The per-user settings store: keys by path (the program's is
// "Software\Quelix\Vetradesk\Settings" in its string resources), each
// holding named string or 32-bit number values. It lives in
// one JSON file under $XDG_CONFIG_HOME that this program and the
// firmware-upgrade tool share, so every write re-reads the file under a lock
// and replaces it atomically.

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

class CSettingsStore
{
public:
    using Value = std::variant<QString, std::uint32_t>;

    // `path` empty: the user's store ($XDG_CONFIG_HOME/Quelix/settings.json).
    explicit CSettingsStore(QString path = {});

    static QString DefaultPath();
    const QString &Path() const { return m_path; }

    // A file that cannot be read as a store is refused: the store starts
    // empty, Problem() says why, and the first write sets the file aside as
    // "<file>.damaged" instead of overwriting it.
    bool IsDamaged() const { return !m_problem.isEmpty(); }
    const QString &Problem() const { return m_problem; }

    bool KeyExists(const QString &key) const { return m_keys.contains(key); }
    bool CreateKey(const QString &key);
    std::optional<Value> Read(const QString &key, const QString &name) const;
    std::optional<QString> ReadString(const QString &key, const QString &name) const;
    std::optional<std::uint32_t> ReadNumber(const QString &key, const QString &name) const;
    QStringList ValueNames(const QString &key) const;

    // False when the file cannot be written (the value stays in memory).
    bool Write(const QString &key, const QString &name, const Value &value);

    // The store's text form, and its reading (for the fuzz target and tests):
    // nothing when the text is not a store.
    using Keys = QHash<QString, QHash<QString, Value>>;
    static QByteArray Serialize(const Keys &keys);
    static std::optional<Keys> Parse(const QByteArray &text, QString *problem = nullptr);

private:
    bool reload(QString *problem);
    bool save(const Keys &keys);

    QString m_path;
    Keys m_keys;
    QString m_problem;
    bool m_setAside = false;
};
