#include "project/projectedits.h"

#include "project/vetradoc.h"
#include "res/resources.h"

#include <algorithm>

namespace ProjectEdits {
namespace {

// The object's number as the table shows it.
QString numberText(const CVetraDoc &document, int object)
{
    return Res::Format(u"%03d", {int(document.Current().GetObject(object).objectNumber)});
}

} // namespace

void Rename(CVetraDoc &document, int object, const QString &name)
{
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_RENAME, {numberText(document, object)}));
    document.Current().SetObjectName(object, name);
    document.UpdateAllViews(nullptr, object);
}

void ShiftTimeStamps(CVetraDoc &document, const std::vector<int> &objects, std::int64_t shift)
{
    if (shift == 0)
        return;
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_TIME, {int(objects.size())}));
    for (int object : objects) {
        document.Current().SetTimeStamp(object, document.Current().GetObject(object).timeStamp + shift);
        document.UpdateAllViews(nullptr, object);
    }
}

void SetRegional(CVetraDoc &document, const std::vector<int> &objects, std::uint8_t regional)
{
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_REGIONAL, {int(objects.size())}));
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
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_DELETE, {int(objects.size())}));
    for (int object : objects)
        document.Current().DeleteObject(object);
    document.UpdateAllViews(nullptr, -1);
}

void Sort(CVetraDoc &document, int mode, const std::vector<bool> &selected)
{
    const CChangeScope change(document, Res::LoadString(Res::IDS_UNDO_SORT));
    CVetraData &list = document.Current();
    for (int i = 0; i < list.GetCount(); ++i)
        list.SetSelected(i, i < int(selected.size()) && selected[std::size_t(i)]);
    list.Sort(mode);
    document.UpdateAllViews(nullptr, -1);
}

void SetComment(CVetraDoc &document, int object, const QString &comment)
{
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_COMMENT, {numberText(document, object)}));
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
