#pragma once
// The user's changes to a project as steps that can take themselves back.
// Each keeps only what it needs to invert itself — the old values of a field,
// the objects it removed and where they stood, a permutation — and never view
// state (expanded rows, a diagram's order, the selection).

#include "project/documentui.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct object_t;
class CVetraDoc;

namespace DocEdits {

enum class NList { Current, Originals };

class CEdit
{
public:
    virtual ~CEdit() = default;
    virtual void Undo(CVetraDoc &document) = 0;
    virtual void Redo(CVetraDoc &document) = 0;
    // About what the step keeps in memory, in bytes.
    virtual std::size_t Bytes() const = 0;
};

// One field's value: a name or comment (text), a regional setting or a time
// stamp (number).
struct SFieldValue
{
    SDocumentChange::Field field = SDocumentChange::Field::Any;
    QString text;
    std::int64_t number = 0;
};

// Each of `objects` gets its value from `after`; undone, from the values
// they have now.
std::unique_ptr<CEdit> ChangeFields(const CVetraDoc &document, std::vector<int> objects,
                                    std::vector<SFieldValue> after);
// The objects at `positions` (ascending) of `list` go.
std::unique_ptr<CEdit> RemoveObjects(NList list, std::vector<int> positions);
// `objects` come in to stand at `positions` (ascending) of `list`.
std::unique_ptr<CEdit> InsertObjects(NList list, std::vector<int> positions,
                                     std::vector<std::unique_ptr<object_t>> objects);
// Position i of `list` gets the object at sourceOf[i], and the list the sort mode.
std::unique_ptr<CEdit> ReorderObjects(const CVetraDoc &document, NList list, std::vector<int> sourceOf,
                                      std::uint8_t sortMode);
// `list` becomes `objects` with `sortMode`.
std::unique_ptr<CEdit> ReplaceObjects(NList list, std::vector<std::unique_ptr<object_t>> objects,
                                      std::uint8_t sortMode);

// Several steps as one, undone last first.
class CGroup : public CEdit
{
public:
    void Add(std::unique_ptr<CEdit> edit) { m_edits.push_back(std::move(edit)); }
    bool IsEmpty() const { return m_edits.empty(); }
    void Undo(CVetraDoc &document) override;
    void Redo(CVetraDoc &document) override;
    std::size_t Bytes() const override;

private:
    std::vector<std::unique_ptr<CEdit>> m_edits;
};

}   // namespace DocEdits
