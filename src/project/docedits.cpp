#include "project/docedits.h"

#include "project/vetradoc.h"

#include <numeric>

namespace DocEdits {
namespace {

using Objects = CVetraData::Objects;

std::size_t bytesOf(const object_t &o)
{
    std::size_t bytes = sizeof(object_t) + o.measurements.size() * sizeof(MEAS_T);
    for (const QString *text : {&o.comment, &o.objectName, &o.deviceName, &o.serialNumber, &o.softwareVersion,
                                &o.hardwareIndex, &o.signature})
        bytes += std::size_t(text->size()) * sizeof(QChar);
    return bytes;
}

std::size_t bytesOf(const Objects &objects)
{
    std::size_t bytes = objects.capacity() * sizeof(Objects::value_type);
    for (const auto &o : objects)
        bytes += o ? bytesOf(*o) : 0;
    return bytes;
}

class CFieldEdit : public CEdit
{
public:
    CFieldEdit(std::vector<int> objects, std::vector<SFieldValue> before, std::vector<SFieldValue> after)
        : m_objects(std::move(objects)), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void Undo(CVetraDoc &document) override { apply(document, m_before); }
    void Redo(CVetraDoc &document) override { apply(document, m_after); }
    std::size_t Bytes() const override
    {
        std::size_t bytes = sizeof(*this) + m_objects.size() * sizeof(int);
        for (const auto *values : {&m_before, &m_after})
            for (const SFieldValue &v : *values)
                bytes += sizeof(SFieldValue) + std::size_t(v.text.size()) * sizeof(QChar);
        return bytes;
    }

private:
    void apply(CVetraDoc &document, const std::vector<SFieldValue> &values)
    {
        for (std::size_t i = 0; i < m_objects.size(); ++i)
            document.ApplyField(m_objects[i], values[i]);
    }

    std::vector<int> m_objects;
    std::vector<SFieldValue> m_before;
    std::vector<SFieldValue> m_after;
};

// Removing and inserting are each other's inverse: the objects are held by
// the step while they are out of the list.
class CMoveEdit : public CEdit
{
public:
    CMoveEdit(NList list, std::vector<int> positions, Objects held, bool inserts)
        : m_list(list), m_positions(std::move(positions)), m_held(std::move(held)), m_inserts(inserts)
    {
    }
    void Undo(CVetraDoc &document) override { m_inserts ? takeOut(document) : putBack(document); }
    void Redo(CVetraDoc &document) override { m_inserts ? putBack(document) : takeOut(document); }
    std::size_t Bytes() const override
    {
        return sizeof(*this) + m_positions.capacity() * sizeof(int) + bytesOf(m_held);
    }

private:
    void takeOut(CVetraDoc &document) { m_held = document.TakeObjects(m_list, m_positions); }
    void putBack(CVetraDoc &document) { document.PutObjects(m_list, m_positions, std::move(m_held)); }

    NList m_list;
    std::vector<int> m_positions;
    Objects m_held;
    bool m_inserts;
};

class CReorderEdit : public CEdit
{
public:
    CReorderEdit(NList list, std::vector<int> sourceOf, std::uint8_t before, std::uint8_t after)
        : m_list(list), m_sourceOf(std::move(sourceOf)), m_before(before), m_after(after)
    {
    }
    void Undo(CVetraDoc &document) override
    {
        std::vector<int> back(m_sourceOf.size());
        for (std::size_t i = 0; i < m_sourceOf.size(); ++i)
            back[std::size_t(m_sourceOf[i])] = int(i);
        document.ReorderList(m_list, back, m_before);
    }
    void Redo(CVetraDoc &document) override { document.ReorderList(m_list, m_sourceOf, m_after); }
    std::size_t Bytes() const override { return sizeof(*this) + m_sourceOf.capacity() * sizeof(int); }

private:
    NList m_list;
    std::vector<int> m_sourceOf;
    std::uint8_t m_before;
    std::uint8_t m_after;
};

class CReplaceEdit : public CEdit
{
public:
    CReplaceEdit(NList list, Objects objects, std::uint8_t sortMode)
        : m_list(list), m_other(std::move(objects)), m_otherSort(sortMode)
    {
    }
    void Undo(CVetraDoc &document) override { swap(document); }
    void Redo(CVetraDoc &document) override { swap(document); }
    std::size_t Bytes() const override { return sizeof(*this) + bytesOf(m_other); }

private:
    void swap(CVetraDoc &document) { m_other = document.ReplaceList(m_list, std::move(m_other), m_otherSort); }

    NList m_list;
    Objects m_other;
    std::uint8_t m_otherSort;
};

}   // namespace

std::unique_ptr<CEdit> ChangeFields(const CVetraDoc &document, std::vector<int> objects, std::vector<SFieldValue> after)
{
    std::vector<SFieldValue> before;
    before.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i)
        before.push_back(document.FieldValue(objects[i], after[i].field));
    return std::make_unique<CFieldEdit>(std::move(objects), std::move(before), std::move(after));
}

std::unique_ptr<CEdit> RemoveObjects(NList list, std::vector<int> positions)
{
    return std::make_unique<CMoveEdit>(list, std::move(positions), Objects(), false);
}

std::unique_ptr<CEdit> InsertObjects(NList list, std::vector<int> positions, Objects objects)
{
    return std::make_unique<CMoveEdit>(list, std::move(positions), std::move(objects), true);
}

std::unique_ptr<CEdit> ReorderObjects(const CVetraDoc &document, NList list, std::vector<int> sourceOf,
                                      std::uint8_t sortMode)
{
    return std::make_unique<CReorderEdit>(list, std::move(sourceOf), document.List(list).GetSortMode(), sortMode);
}

std::unique_ptr<CEdit> ReplaceObjects(NList list, Objects objects, std::uint8_t sortMode)
{
    return std::make_unique<CReplaceEdit>(list, std::move(objects), sortMode);
}

void CGroup::Undo(CVetraDoc &document)
{
    for (auto it = m_edits.rbegin(); it != m_edits.rend(); ++it)
        (*it)->Undo(document);
}

void CGroup::Redo(CVetraDoc &document)
{
    for (auto &edit : m_edits)
        edit->Redo(document);
}

std::size_t CGroup::Bytes() const
{
    return std::accumulate(m_edits.begin(), m_edits.end(), sizeof(*this),
                           [](std::size_t sum, const auto &edit) { return sum + edit->Bytes(); });
}

}   // namespace DocEdits
