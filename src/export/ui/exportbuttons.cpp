#include "export/ui/exportbuttons.h"

#include "gui/accessibletext.h"
#include "gui/messageservice.h"
#include "res/resources.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

QDialogButtonBox *ExportButtons(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(dialog);
    QPushButton *exportButton = buttons->addButton(Res::LoadString(Res::IDS_CSV_EXPORT_BUTTON),
                                                   QDialogButtonBox::AcceptRole);
    exportButton->setObjectName(QStringLiteral("export"));
    exportButton->setDefault(true);
    QPushButton *cancel = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    Accessible::Describe(*exportButton, Res::IDS_A11Y_EXPORT);
    Accessible::Describe(*cancel, Res::IDS_A11Y_CANCEL);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

bool SayNothingSelected(IMessageService &messages, bool selectionOnly, int selectedObjects)
{
    if (!selectionOnly || selectedObjects > 0)
        return false;
    messages.Show(IMessageService::Icon::Information, Res::LoadString(Res::IDS_EXPORT_NOTHING_SELECTED));
    return true;
}
