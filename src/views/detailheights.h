#pragma once
// CDetailHeights: the heights of expanded objects' detail rows, measured once
// per object, column width and font. Measuring lays the whole expanded object
// out (about a third of a millisecond), so the table asks here first; the
// table forgets an object here when the document says it changed.

#include <QFont>

#include <cstdint>
#include <unordered_map>

struct object_t;

class CDetailHeights
{
public:
    // The exact height of `object`'s detail row at `width` in `font`.
    int Height(const object_t &object, const QFont &font, int width);
    bool IsMeasured(const object_t &object, const QFont &font, int width);
    // A height that is right for objects built like one measured before (the
    // same number of measurements and comment); measured when none was.
    int Estimate(const object_t &object, const QFont &font, int width);
    void Forget(const object_t &object) { m_heights.erase(&object); }
    void Clear();

private:
    // Another width or font makes every height measured so far wrong.
    void use(const QFont &font, int width);
    static std::uint64_t shapeOf(const object_t &object);

    QFont m_font;
    int m_width = -1;
    std::unordered_map<const object_t *, int> m_heights;
    std::unordered_map<std::uint64_t, int> m_byShape;
};
