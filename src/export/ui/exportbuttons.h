#pragma once
// The export dialogs' buttons.

class QDialog;
class QDialogButtonBox;

// "Export" (the default) and "Cancel", wired to the dialog's accept and reject.
QDialogButtonBox *ExportButtons(QDialog *dialog);
