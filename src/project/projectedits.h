#pragma once
// Every change the user makes to the project's objects from the window goes
// through here, so that each is one step with one notice to the views (and
// can be undone as one step later).

#include <QString>

#include <cstdint>
#include <vector>

class CVetraDoc;

namespace ProjectEdits {

void Rename(CVetraDoc &document, int object, const QString &name);
// Adds `shift` seconds to each object's time stamp.
void ShiftTimeStamps(CVetraDoc &document, const std::vector<int> &objects, std::int64_t shift);
void SetRegional(CVetraDoc &document, const std::vector<int> &objects, std::uint8_t regional);
// Deletes the objects (any order), from the last to the first.
void Delete(CVetraDoc &document, std::vector<int> objects);
// Sorts by `mode`; the views move their rows along, selection and all.
void Sort(CVetraDoc &document, int mode);
void SetExpanded(CVetraDoc &document, int object, bool expanded);
void SetComment(CVetraDoc &document, int object, const QString &comment);
void SetDiagramOrder(CVetraDoc &document, int object, std::int16_t order);

}   // namespace ProjectEdits
