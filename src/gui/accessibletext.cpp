#include "gui/accessibletext.h"

#include "res/resources.h"

#include <QWidget>

namespace Accessible {

void Name(QWidget &control, int labelId)
{
    QString name = Res::LoadString(labelId).remove(u'&').trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    control.setAccessibleName(name);
}

void Describe(QWidget &control, int descriptionId)
{
    control.setAccessibleDescription(Res::LoadString(descriptionId));
}

void Set(QWidget &control, int labelId, int descriptionId)
{
    Name(control, labelId);
    Describe(control, descriptionId);
}

}   // namespace Accessible
