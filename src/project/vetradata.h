#pragma once
// CVetraData: one ordered list of project objects with its sort mode. The
// document's current list is linked to the document, so that every change
// that alters the project marks it modified.

#include "data/measurement.h"
#include "data/statistics.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace StreamIO {
class CQXArchive;
}

class CVetraDoc;

// One flag per object of a list; only flagged objects are taken.
using Selection = std::vector<bool>;

struct SOverlap
{
    int start = -1;   // index in this list where the overlap begins; -1 = none
    int count = 0;
};

class CVetraData
{
public:
    explicit CVetraData(CVetraDoc *document = nullptr) : m_document(document) {}
    CVetraData(const CVetraData &) = delete;
    CVetraData &operator=(const CVetraData &) = delete;

    int GetCount() const { return int(m_objects.size()); }
    // Indexes are checked: out of range throws std::out_of_range.
    const object_t &GetObject(int index) const { return *m_objects.at(std::size_t(index)); }
    std::uint8_t GetSortMode() const { return m_sortMode; }

    void SetObjectName(int index, const QString &name);
    void SetComment(int index, const QString &comment);
    void SetRegional(int index, std::uint8_t regional);
    void SetDiagramOrder(int index, std::int16_t order);
    void SetExpanded(int index, bool expanded);
    void SetSelected(int index, bool selected);
    void SetTimeStamp(int index, std::int64_t stamp);
    void DeleteObject(int index);
    void Sort(int mode);
    // Where each object would go in a sort by `mode`: position i would hold
    // the object now at the returned [i]. Nothing changes.
    std::vector<int> SortOrder(int mode) const;
    void AddTransferObjects(const QList<TVetraObject> &objects, bool add);
    void Clear();
    // A deep copy through the in-memory streams (needs the stream layer):
    // view state and sort mode come along, selection and positions do not.
    void CopyFrom(const CVetraData &source);
    SOverlap FindOverlap(const CVetraData &incoming) const;
    TVetraObject ToTransferObject(int index) const { return ::ToTransferObject(GetObject(index)); }

    // Values by index.
    SStatistics GetStatistics(int index) const { return ::GetStatistics(GetObject(index)); }

    // The list's encoding in a project file. Store writes the flagged objects
    // (all when `selection` is null); Load appends. Load throws StreamError
    // for damaged data; the objects read before it stay.
    void Store(StreamIO::CQXArchive &archive, const Selection *selection) const;
    void Load(StreamIO::CQXArchive &archive);

    // Moves every object of `other` to the end of this list, each marked
    // `selected` as given; the stored sort mode comes along when any came.
    void TakeFrom(CVetraData &other, bool selected);

    // The primitive changes the document's edits are made of (see
    // project/docedits.h); none of them tells anybody.
    using Objects = std::vector<std::unique_ptr<object_t>>;
    // Takes the objects at `positions` (ascending) out, in that order.
    Objects Remove(const std::vector<int> &positions);
    // Puts `objects` in so that they stand at `positions` (ascending) after it.
    void Insert(const std::vector<int> &positions, Objects objects);
    // Position i gets the object now at sourceOf[i].
    void Reorder(const std::vector<int> &sourceOf);
    // Gives the objects their stored positions, in list order.
    void SetPositions(const std::vector<std::int32_t> &positions);
    void SetSortMode(std::uint8_t mode) { m_sortMode = mode; }
    // The whole list for `objects`; the old one is returned.
    Objects Replace(Objects objects);

private:
    object_t &object(int index) { return *m_objects.at(std::size_t(index)); }
    void changed();

    std::vector<std::unique_ptr<object_t>> m_objects;   // owned; addresses stay stable for views
    std::uint8_t m_sortMode = 0;
    CVetraDoc *m_document;
};
