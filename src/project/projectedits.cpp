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

}   // namespace

using DocEdits::SFieldValue;
using Field = SDocumentChange::Field;

void Rename(CVetraDoc &document, int object, const QString &name)
{
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_RENAME, {numberText(document, object)}));
    document.Perform(DocEdits::ChangeFields(document, {object}, {SFieldValue{Field::Name, name}}));
}

void ShiftTimeStamps(CVetraDoc &document, const std::vector<int> &objects, std::int64_t shift)
{
    if (shift == 0 || objects.empty())
        return;
    const CChangeScope change(document,
                              Res::FormatCounted(Res::IDS_UNDO_TIME_ONE, Res::IDS_UNDO_TIME, int(objects.size())));
    std::vector<SFieldValue> stamps;
    for (int object : objects)
        stamps.push_back({Field::TimeStamp, {}, document.Current().GetObject(object).timeStamp + shift});
    document.Perform(DocEdits::ChangeFields(document, objects, std::move(stamps)));
}

void SetRegional(CVetraDoc &document, const std::vector<int> &objects, std::uint8_t regional)
{
    if (objects.empty())
        return;
    const CChangeScope change(
        document, Res::FormatCounted(Res::IDS_UNDO_REGIONAL_ONE, Res::IDS_UNDO_REGIONAL, int(objects.size())));
    document.Perform(DocEdits::ChangeFields(
        document, objects, std::vector<SFieldValue>(objects.size(), SFieldValue{Field::Regional, {}, regional})));
}

void Delete(CVetraDoc &document, std::vector<int> objects)
{
    if (objects.empty())
        return;
    std::sort(objects.begin(), objects.end());
    objects.erase(std::unique(objects.begin(), objects.end()), objects.end());
    const CChangeScope change(document,
                              Res::FormatCounted(Res::IDS_UNDO_DELETE_ONE, Res::IDS_UNDO_DELETE, int(objects.size())));
    document.Perform(DocEdits::RemoveObjects(DocEdits::NList::Current, std::move(objects)));
}

void Sort(CVetraDoc &document, int mode)
{
    const CChangeScope change(document, Res::LoadString(Res::IDS_UNDO_SORT));
    CVetraData &list = document.Current();
    document.Perform(
        DocEdits::ReorderObjects(document, DocEdits::NList::Current, list.SortOrder(mode), std::uint8_t(mode)));
    list.Sort(mode);   // in order already: the positions after the sort
}

void SetComment(CVetraDoc &document, int object, const QString &comment)
{
    const CChangeScope change(document, Res::FormatString(Res::IDS_UNDO_COMMENT, {numberText(document, object)}));
    document.Perform(DocEdits::ChangeFields(document, {object}, {SFieldValue{Field::Comment, comment}}));
}

// View state: no undo step, and undo never touches it.
void SetDiagramOrder(CVetraDoc &document, int object, std::int16_t order)
{
    document.Current().SetDiagramOrder(object, order);
    document.Notify(SDocumentChange::ObjectChanged(object, Field::View));
}

void SetExpanded(CVetraDoc &document, int object, bool expanded)
{
    document.Current().SetExpanded(object, expanded);
}

}   // namespace ProjectEdits
