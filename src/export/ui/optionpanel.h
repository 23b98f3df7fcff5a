#pragma once
// The option groups of the export dialogs: framed boxes with a bold title
// holding the options of one choice.

#include <QString>

// The choices both export dialogs offer.
enum class NExportTarget { OneFile, EachFile, Clipboard };
enum class NExportData { All, Selection };

class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QRadioButton;
class QWidget;

QGroupBox *OptionGroup(const QString &title, QWidget *parent);
QRadioButton *OptionButton(const QString &text, const char *objectName, QWidget *parent);

// "Export" (the default) and "Cancel", wired to the dialog's accept and reject.
QDialogButtonBox *ExportButtons(QDialog *dialog);
