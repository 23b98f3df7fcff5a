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
    if (mode >= 1 && mode <= kSortModeCount) {
        std::sort(m_objects.begin(), m_objects.end(),
                  [mode](const auto &a, const auto &b) { return CompareObjects(mode, *a, *b) < 0; });
    }
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

namespace {

// Every field a project file keeps, and the view state besides.
bool sameObject(const object_t &a, const object_t &b)
{
    return a.version == b.version && a.deviceName == b.deviceName && a.softwareVersion == b.softwareVersion
        && a.serialNumber == b.serialNumber && a.hardwareIndex == b.hardwareIndex && a.signature == b.signature
        && a.regional == b.regional && a.storageMode == b.storageMode
        && a.rawDefaultBarDiameter == b.rawDefaultBarDiameter && a.neighborCorrection == b.neighborCorrection
        && a.comment == b.comment && a.objectName == b.objectName && a.timeStamp == b.timeStamp
        && a.objectNumber == b.objectNumber && a.measurements.size() == b.measurements.size()
        && std::equal(a.measurements.begin(), a.measurements.end(), b.measurements.begin(),
                      [](const MEAS_T &x, const MEAS_T &y) {
                          return x.number == y.number && x.cover == y.cover && x.rawDiameter == y.rawDiameter;
                      })
        && a.diagramOrder == b.diagramOrder && a.position == b.position && a.expanded == b.expanded
        && a.selected == b.selected;
}

} // namespace

std::vector<std::shared_ptr<const object_t>>
CVetraData::Capture(const std::vector<std::shared_ptr<const object_t>> *previous) const
{
    std::vector<std::shared_ptr<const object_t>> objects;
    objects.reserve(m_objects.size());
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (previous && i < previous->size() && sameObject(*(*previous)[i], *m_objects[i]))
            objects.push_back((*previous)[i]);
        else
            objects.push_back(std::make_shared<const object_t>(*m_objects[i]));
    }
    return objects;
}

void CVetraData::Restore(const std::vector<std::shared_ptr<const object_t>> &objects, std::uint8_t sortMode)
{
    m_objects.clear();
    m_objects.reserve(objects.size());
    for (const auto &o : objects)
        m_objects.push_back(std::make_unique<object_t>(*o));
    m_sortMode = sortMode;
}
