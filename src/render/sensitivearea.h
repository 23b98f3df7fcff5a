#pragma once
// CSensitiveArea: the clickable rectangles of a drawing (the detail cell's
// links, the export dialogs' options), and the tooltip rectangles beside
// them.

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QFontMetrics;

class CSensitiveArea
{
public:
    struct SHit
    {
        int value = 0;
        int id = 0;
        QRect rect;
    };

    // The text's rectangle at (x, y) in `metrics`' font; appended (active)
    // only when `enabled`.
    void AddForText(const QFontMetrics &metrics, int x, int y, const QString &text, int priority, int value, int id,
                    bool enabled = true);
    void Add(const QRect &rect, int priority, int value, int id);
    // The highest priority among the active rectangles holding the point,
    // edges included; the earliest on ties.
    std::optional<SHit> HitTest(const QPoint &point) const;
    void Clear() { m_entries.clear(); }
    bool IsEmpty() const { return m_entries.empty(); }

private:
    struct SEntry
    {
        QRect rect;
        int priority;
        int value;
        int id;
    };
    std::vector<SEntry> m_entries;
};

// Tooltip rectangles with a title and a text.
class CTipAreas
{
public:
    struct STip
    {
        QRect rect;
        QString title;
        QString text;
    };

    void Add(const QRect &rect, const QString &title, const QString &text) { m_tips.push_back({rect, title, text}); }
    const STip *At(const QPoint &point) const;
    void Clear() { m_tips.clear(); }
    const std::vector<STip> &Tips() const { return m_tips; }

private:
    std::vector<STip> m_tips;
};
