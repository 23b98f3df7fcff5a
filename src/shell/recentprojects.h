#pragma once
// The projects opened or saved last, newest first, kept in the program's
// settings key as one string value (one path a line).

#include <QString>
#include <QStringList>

class CSettingsStore;

class CRecentProjects
{
public:
    static constexpr int kMax = 8;

    // `store` may be null: the list then lives for this run only.
    CRecentProjects(CSettingsStore *store, QString key);

    QStringList Paths() const;
    // Puts `path` first (once); the oldest beyond kMax falls off.
    void Add(const QString &path);

private:
    void save(const QStringList &paths);

    CSettingsStore *m_store;
    QString m_key;
    QStringList m_paths;   // when there is no store
};
