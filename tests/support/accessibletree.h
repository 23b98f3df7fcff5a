#pragma once
// What a screen reader gets of a window: the controls in its accessibility
// tree (what the accessibility bus carries) that lack a name or a description.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QObject>
#include <QStringList>
#include <QWidget>

namespace TestSupport {

inline bool IsControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::ToolBar:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Slider:
    case QAccessible::PageTab:
    case QAccessible::ProgressBar: return true;
    default: return false;
    }
}

// "role 'name' (object)" of each visible control below `root` without a name
// or a description.
inline QStringList UnnamedBelow(QAccessibleInterface *root, int depth = 0)
{
    QStringList missing;
    if (!root || depth > 20 || root->state().invisible)
        return missing;
    if (IsControl(root->role())) {
        const QString name = root->text(QAccessible::Name);
        const QString description = root->text(QAccessible::Description);
        // A description that repeats the name tells nothing more.
        if (name.trimmed().isEmpty() || description.trimmed().isEmpty() || description == name)
            missing << QStringLiteral("%1 '%2' (%3)")
                           .arg(int(root->role()))
                           .arg(name, root->object() ? root->object()->objectName() : QString());
    }
    if (root->role() == QAccessible::Table)
        return missing;   // its cells are data, not controls
    for (int i = 0; i < root->childCount(); ++i)
        missing += UnnamedBelow(root->child(i), depth + 1);
    return missing;
}

// "role 'name' (object)" of each visible control of `widget` without a name or
// a description, or with a description that only repeats the name.
inline QStringList UnnamedControls(QWidget &widget)
{
    return UnnamedBelow(QAccessible::queryAccessibleInterface(&widget));
}

}   // namespace TestSupport
