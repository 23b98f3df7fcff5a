#include "project/projectedits.h"

#include "project/vetradoc.h"

#include <algorithm>

namespace ProjectEdits {

void Rename(CVetraDoc &document, int object, const QString &name)
{
    document.Current().SetObjectName(object, name);
    document.UpdateAllViews(nullptr, object);
}

void ShiftTimeStamps(CVetraDoc &document, const std::vector<int> &objects, std::int64_t shift)
{
    if (shift == 0)
        return;
    for (int object : objects) {
        document.Current().SetTimeStamp(object, document.Current().GetObject(object).timeStamp + shift);
        document.UpdateAllViews(nullptr, object);
    }
}

void SetRegional(CVetraDoc &document, const std::vector<int> &objects, std::uint8_t regional)
{
    for (int object : objects) {
        document.Current().SetRegional(object, regional);
        document.UpdateAllViews(nullptr, object);
    }
}

void Delete(CVetraDoc &document, std::vector<int> objects)
{
    if (objects.empty())
        return;
    std::sort(objects.begin(), objects.end(), std::greater<>());
    objects.erase(std::unique(objects.begin(), objects.end()), objects.end());
    for (int object : objects)
        document.Current().DeleteObject(object);
    document.UpdateAllViews(nullptr, -1);
}

void Sort(CVetraDoc &document, int mode, const std::vector<bool> &selected)
{
    CVetraData &list = document.Current();
    for (int i = 0; i < list.GetCount(); ++i)
        list.SetSelected(i, i < int(selected.size()) && selected[std::size_t(i)]);
    list.Sort(mode);
    document.UpdateAllViews(nullptr, -1);
}

void SetComment(CVetraDoc &document, int object, const QString &comment)
{
    document.Current().SetComment(object, comment);
    document.UpdateAllViews(nullptr, object);
}

void SetDiagramOrder(CVetraDoc &document, int object, std::int16_t order)
{
    document.Current().SetDiagramOrder(object, order);
    document.UpdateAllViews(nullptr, object);
}

void SetExpanded(CVetraDoc &document, int object, bool expanded)
{
    document.Current().SetExpanded(object, expanded);
}

} // namespace ProjectEdits
