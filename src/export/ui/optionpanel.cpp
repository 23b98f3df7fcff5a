#include "export/ui/optionpanel.h"

#include "res/resources.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
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


QDialogButtonBox *ExportButtons(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(dialog);
    QPushButton *exportButton = buttons->addButton(Res::LoadString(Res::IDS_CSV_EXPORT_BUTTON), QDialogButtonBox::AcceptRole);
    exportButton->setObjectName(QStringLiteral("export"));
    exportButton->setDefault(true);
    buttons->addButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
