#include "render/sensitivearea.h"

#include <QFontMetrics>

namespace {

// Edges count as inside, as the drawn rectangles' right and bottom lines do.
bool holds(const QRect &r, const QPoint &p)
{
    return p.x() >= r.left() && p.x() <= r.left() + r.width() && p.y() >= r.top() && p.y() <= r.top() + r.height();
}

}   // namespace

void CSensitiveArea::AddForText(const QFontMetrics &metrics, int x, int y, const QString &text, int priority, int value,
                                int id, bool enabled)
{
    if (!enabled)
        return;
    const QSize size = metrics.size(Qt::TextSingleLine, text);
    m_entries.push_back({QRect(x, y, size.width(), size.height()), priority, value, id});
}

void CSensitiveArea::Add(const QRect &rect, int priority, int value, int id)
{
    m_entries.push_back({rect, priority, value, id});
}

std::optional<CSensitiveArea::SHit> CSensitiveArea::HitTest(const QPoint &point) const
{
    const SEntry *best = nullptr;
    for (const SEntry &e : m_entries)
        if (holds(e.rect, point) && (!best || e.priority > best->priority))
            best = &e;
    if (!best)
        return std::nullopt;
    return SHit{best->value, best->id, best->rect};
}

const CTipAreas::STip *CTipAreas::At(const QPoint &point) const
{
    for (const STip &t : m_tips)
        if (holds(t.rect, point))
            return &t;
    return nullptr;
}
