#include "export/ui/optionpanel.h"

#include <QGroupBox>
#include <QRadioButton>

QGroupBox *OptionGroup(const QString &title, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    QFont f = group->font();
    f.setBold(true);
    group->setFont(f);
    return group;
}

QRadioButton *OptionButton(const QString &text, const char *name, QWidget *parent)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    QFont f = button->font();
    f.setBold(false);
    button->setFont(f);
    return button;
}

