#include "app/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr int kFormat = 1;
constexpr int kLockWaitMs = 3000;

}   // namespace

CSettingsStore::CSettingsStore(QString path) : m_path(path.isEmpty() ? DefaultPath() : std::move(path))
{
    reload(&m_problem);
}

QString CSettingsStore::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Quelix/settings.json");
}

QByteArray CSettingsStore::Serialize(const Keys &keys)
{
    QJsonObject all;
    for (auto k = keys.begin(); k != keys.end(); ++k) {
        QJsonObject values;
        for (auto v = k.value().begin(); v != k.value().end(); ++v) {
            QJsonObject typed;
            if (const auto *s = std::get_if<QString>(&v.value()))
                typed.insert(QStringLiteral("string"), *s);
            else
                typed.insert(QStringLiteral("dword"), qint64(std::get<std::uint32_t>(v.value())));
            values.insert(v.key(), typed);
        }
        all.insert(k.key(), values);
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), kFormat);
    root.insert(QStringLiteral("keys"), all);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<CSettingsStore::Keys> CSettingsStore::Parse(const QByteArray &text, QString *problem)
{
    auto fail = [&](const QString &why) -> std::optional<Keys> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return fail(error.errorString());
    if (!doc.isObject() || doc.object().value(QStringLiteral("format")).toInt() != kFormat
        || !doc.object().value(QStringLiteral("keys")).isObject())
        return fail(QStringLiteral("not a settings file"));
    Keys keys;
    const QJsonObject all = doc.object().value(QStringLiteral("keys")).toObject();
    for (auto k = all.begin(); k != all.end(); ++k) {
        if (!k.value().isObject())
            return fail(QStringLiteral("key %1 holds no values").arg(k.key()));
        QHash<QString, Value> &values = keys[k.key()];
        const QJsonObject obj = k.value().toObject();
        for (auto v = obj.begin(); v != obj.end(); ++v) {
            const QJsonObject typed = v.value().toObject();
            if (typed.size() == 1 && typed.value(QStringLiteral("string")).isString()) {
                values.insert(v.key(), typed.value(QStringLiteral("string")).toString());
            } else if (typed.size() == 1 && typed.value(QStringLiteral("dword")).isDouble()) {
                const double d = typed.value(QStringLiteral("dword")).toDouble();
                if (d < 0 || d > 4294967295.0 || d != double(qint64(d)))
                    return fail(QStringLiteral("value %1 is not a 32-bit number").arg(v.key()));
                values.insert(v.key(), std::uint32_t(qint64(d)));
            } else {
                return fail(QStringLiteral("value %1 has no type").arg(v.key()));
            }
        }
    }
    return keys;
}

bool CSettingsStore::reload(QString *problem)
{
    QFile file(m_path);
    if (!file.exists()) {
        m_keys.clear();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = file.errorString();
        return false;
    }
    QString why;
    std::optional<Keys> keys = Parse(file.readAll(), &why);
    if (!keys) {
        if (problem)
            *problem = why;
        return false;
    }
    m_keys = std::move(*keys);
    return true;
}

bool CSettingsStore::save(const Keys &keys)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = Serialize(keys);
    return file.write(text) == text.size() && file.commit();
}

bool CSettingsStore::Write(const QString &key, const QString &name, const Value &value)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return false;
    // Take in what the other program wrote meanwhile; a damaged file is set
    // aside once rather than overwritten.
    const Keys mine = m_keys;
    if (!reload(nullptr)) {
        if (!m_setAside) {
            QFile::remove(m_path + QStringLiteral(".damaged"));
            QFile::rename(m_path, m_path + QStringLiteral(".damaged"));
            m_setAside = true;
        }
        m_keys = mine;
    }
    if (!name.isNull())
        m_keys[key].insert(name, value);
    else
        (void)m_keys[key];
    return save(m_keys);
}

bool CSettingsStore::CreateKey(const QString &key)
{
    if (KeyExists(key))
        return true;
    return Write(key, QString(), Value());
}

std::optional<CSettingsStore::Value> CSettingsStore::Read(const QString &key, const QString &name) const
{
    const auto k = m_keys.constFind(key);
    if (k == m_keys.constEnd())
        return std::nullopt;
    const auto v = k->constFind(name);
    if (v == k->constEnd())
        return std::nullopt;
    return *v;
}

std::optional<QString> CSettingsStore::ReadString(const QString &key, const QString &name) const
{
    const std::optional<Value> v = Read(key, name);
    if (v && std::holds_alternative<QString>(*v))
        return std::get<QString>(*v);
    return std::nullopt;
}

std::optional<std::uint32_t> CSettingsStore::ReadNumber(const QString &key, const QString &name) const
{
    const std::optional<Value> v = Read(key, name);
    if (v && std::holds_alternative<std::uint32_t>(*v))
        return std::get<std::uint32_t>(*v);
    return std::nullopt;
}

QStringList CSettingsStore::ValueNames(const QString &key) const
{
    QStringList names = m_keys.value(key).keys();
    names.sort();
    return names;
}
