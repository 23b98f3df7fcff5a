#pragma once
// What the export dialogs share besides their option panel: the buttons and
// the check before an export of the selection.

class IMessageService;
class QDialog;
class QDialogButtonBox;

// "Export" (the default) and "Cancel", wired to the dialog's accept and reject.
QDialogButtonBox *ExportButtons(QDialog *dialog);

// "Selection only" with nothing selected: says so and answers true, so that
// Export stops; false when there is something to export.
bool SayNothingSelected(IMessageService &messages, bool selectionOnly, int selectedObjects);
