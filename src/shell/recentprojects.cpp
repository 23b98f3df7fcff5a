#include "shell/recentprojects.h"

#include "app/settingsstore.h"

#include <QFileInfo>

namespace {

const QString kValue = QStringLiteral("RecentProjects");

}   // namespace

CRecentProjects::CRecentProjects(CSettingsStore *store, QString key) : m_store(store), m_key(std::move(key)) {}

QStringList CRecentProjects::Paths() const
{
    if (!m_store)
        return m_paths;
    const std::optional<QString> text = m_store->ReadString(m_key, kValue);
    QStringList paths = text ? text->split(u'\n', Qt::SkipEmptyParts) : QStringList();
    if (paths.size() > kMax)
        paths.resize(kMax);
    return paths;
}

void CRecentProjects::Add(const QString &path)
{
    // A line per path: a name holding a line break cannot be kept.
    if (path.isEmpty() || path.contains(u'\n'))
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = Paths();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    if (paths.size() > kMax)
        paths.resize(kMax);
    save(paths);
}

void CRecentProjects::save(const QStringList &paths)
{
    if (!m_store) {
        m_paths = paths;
        return;
    }
    m_store->Write(m_key, kValue, paths.join(u'\n'));   // not written: the list is only shorter-lived
}
