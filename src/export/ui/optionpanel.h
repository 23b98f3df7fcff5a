#pragma once
// The option groups of the export dialogs: framed boxes with a bold title
// holding the options of one choice.

#include <QString>

class QGroupBox;
class QRadioButton;
class QWidget;

QGroupBox *OptionGroup(const QString &title, QWidget *parent);
QRadioButton *OptionButton(const QString &text, const char *objectName, QWidget *parent);
