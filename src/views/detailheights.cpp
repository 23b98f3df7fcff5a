#include "views/detailheights.h"

#include "data/measurement.h"
#include "render/detailcell.h"

void CDetailHeights::use(const QFont &font, int width)
{
    if (width == m_width && font == m_font)
        return;
    Clear();
    m_width = width;
    m_font = font;
}

void CDetailHeights::Clear()
{
    m_heights.clear();
    m_byShape.clear();
}

std::uint64_t CDetailHeights::shapeOf(const object_t &object)
{
    return (std::uint64_t(object.measurements.size()) << 32) | std::uint64_t(std::uint32_t(qHash(object.comment)));
}

int CDetailHeights::Height(const object_t &object, const QFont &font, int width)
{
    use(font, width);
    const auto it = m_heights.find(&object);
    if (it != m_heights.end())
        return it->second;
    const int height = Render::DetailRowHeight(object, font, width);
    m_heights.emplace(&object, height);
    m_byShape.emplace(shapeOf(object), height);
    return height;
}

bool CDetailHeights::IsMeasured(const object_t &object, const QFont &font, int width)
{
    use(font, width);
    return m_heights.count(&object) != 0;
}

int CDetailHeights::Estimate(const object_t &object, const QFont &font, int width)
{
    use(font, width);
    if (const auto it = m_heights.find(&object); it != m_heights.end())
        return it->second;
    if (const auto it = m_byShape.find(shapeOf(object)); it != m_byShape.end())
        return it->second;
    return Height(object, font, width);
}
