#include "project/vetradata.h"

#include "project/vetradoc.h"
#include "streamio/archive.h"
#include "streamio/ramstream.h"

#include <algorithm>

using namespace StreamIO;

void CVetraData::changed()
{
    if (m_document)
        m_document->SetModified(true);
}

void CVetraData::SetObjectName(int index, const QString &name)
{
    object(index).objectName = name;
    changed();
}

void CVetraData::SetComment(int index, const QString &comment)
{
    object(index).comment = comment;
    changed();
}

void CVetraData::SetRegional(int index, std::uint8_t regional)
{
    object(index).regional = regional;
    changed();
}

void CVetraData::SetDiagramOrder(int index, std::int16_t order)
{
    object(index).diagramOrder = order;
    changed();
}

void CVetraData::SetExpanded(int index, bool expanded)
{
    object(index).expanded = expanded;
    changed();
}

void CVetraData::SetSelected(int index, bool selected)
{
    object(index).selected = selected;
}

void CVetraData::SetTimeStamp(int index, std::int64_t stamp)
{
    object(index).timeStamp = stamp;
    changed();   // a shifted time stamp is an edit the user must not lose
}

void CVetraData::DeleteObject(int index)
{
    (void)object(index);
    m_objects.erase(m_objects.begin() + index);
    changed();
}

void CVetraData::Sort(int mode)
{
    if (mode >= 1 && mode <= kSortModeCount)
        Reorder(SortOrder(mode));
    m_sortMode = std::uint8_t(mode);
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        m_objects[i]->position = std::int32_t(i);
    changed();
}

void CVetraData::AddTransferObjects(const QList<TVetraObject> &objects, bool add)
{
    if (!add)
        Clear();
    m_objects.reserve(m_objects.size() + std::size_t(objects.size()));
    for (const TVetraObject &t : objects)
        m_objects.push_back(std::make_unique<object_t>(ToProjectObject(t, add)));
}

void CVetraData::Clear()
{
    m_objects.clear();
    m_sortMode = 0;
}

void CVetraData::TakeFrom(CVetraData &other, bool selected)
{
    if (other.m_objects.empty())
        return;
    for (auto &o : other.m_objects) {
        o->selected = selected;
        m_objects.push_back(std::move(o));
    }
    other.m_objects.clear();
    m_sortMode = other.m_sortMode;
    changed();
}

void CVetraData::CopyFrom(const CVetraData &source)
{
    Clear();
    QByteArray bytes;
    {
        CRamStream store;
        store.Open(QStringLiteral("RAM:RamStreamStore"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
        CQXArchive archive(store.GetHandle(), CQXArchive::MODE_STORE);
        source.Store(archive, nullptr);
        archive.Flush();
        bytes.resize(store.GetLength());
        store.SetPosition(0);
        if (store.Read(bytes.data(), int(bytes.size())) != bytes.size())
            throw StreamError(ERR_READ_FAULT, store.GetName());
    }
    CRamStream load;
    load.Open(QStringLiteral("RAM:RamStreamLoad"), SO_READ | SO_WRITE | SO_CREATE_ALWAYS);
    load.Write(bytes.constData(), int(bytes.size()));
    CQXArchive archive(load.GetHandle(), CQXArchive::MODE_LOAD);
    Load(archive);
}

SOverlap CVetraData::FindOverlap(const CVetraData &incoming) const
{
    const int n = GetCount();
    const int m = incoming.GetCount();
    if (n == 0 || m == 0)
        return {};
    for (int i = std::max(0, n - m); i < n; ++i) {
        bool same = true;
        for (int j = i; j < n && same; ++j)
            same = IsSameObject(GetObject(j), incoming.GetObject(j - i));
        if (same)
            return {i, n - i};
    }
    return {};
}

CVetraData::Objects CVetraData::Remove(const std::vector<int> &positions)
{
    Objects taken;
    taken.reserve(positions.size());
    for (int p : positions)
        taken.push_back(std::move(m_objects.at(std::size_t(p))));
    // One pass closes the gaps: no quadratic erasing for a large selection.
    m_objects.erase(std::remove(m_objects.begin(), m_objects.end(), nullptr), m_objects.end());
    changed();
    return taken;
}

void CVetraData::Insert(const std::vector<int> &positions, Objects objects)
{
    Objects merged;
    merged.reserve(m_objects.size() + objects.size());
    std::size_t next = 0, old = 0;
    for (std::size_t i = 0; i < m_objects.size() + objects.size(); ++i) {
        if (next < positions.size() && std::size_t(positions[next]) == i)
            merged.push_back(std::move(objects[next++]));
        else if (old < m_objects.size())
            merged.push_back(std::move(m_objects[old++]));
        else if (next < objects.size())
            merged.push_back(std::move(objects[next++]));   // positions past the end: appended in order
    }
    m_objects = std::move(merged);
    changed();
}

std::vector<int> CVetraData::SortOrder(int mode) const
{
    std::vector<int> order(m_objects.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    if (mode >= 1 && mode <= kSortModeCount)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return CompareObjects(mode, *m_objects[std::size_t(a)], *m_objects[std::size_t(b)]) < 0;
        });
    return order;
}

void CVetraData::Reorder(const std::vector<int> &sourceOf)
{
    Objects reordered;
    reordered.reserve(m_objects.size());
    for (int source : sourceOf)
        reordered.push_back(std::move(m_objects.at(std::size_t(source))));
    m_objects = std::move(reordered);
    changed();
}

void CVetraData::SetPositions(const std::vector<std::int32_t> &positions)
{
    for (std::size_t i = 0; i < positions.size() && i < m_objects.size(); ++i)
        m_objects[i]->position = positions[i];
}

CVetraData::Objects CVetraData::Replace(Objects objects)
{
    std::swap(objects, m_objects);
    changed();
    return objects;
}
