#pragma once
// Names and descriptions that assistive tools read for controls whose own
// text does not say enough (a combo box reads as its current choice, a
// button only as its label).

class QWidget;

namespace Accessible {

// The name from a label's string resource, without its colon and '&'.
void Name(QWidget &control, int labelId);
void Describe(QWidget &control, int descriptionId);
// Both, for a control whose text says neither.
void Set(QWidget &control, int labelId, int descriptionId);

}   // namespace Accessible
