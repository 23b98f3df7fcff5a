#pragma once
// What the picture and print tests share: the table's look in a fixed font,
// a list of objects as the painters take it, and the page bands at a fixed time.

#include "render/tablepicture.h"
#include "render/tableprint.h"

#include <vector>

namespace TestSupport {

inline Render::STableLook TableLook(int extraNameWidth = 0)
{
    Render::STableLook l;
    l.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    l.widths = Render::DefaultColumnWidths(l.font, l.font, 20, u"MM/dd/yyyy", u"h:mm tt");
    l.widths[Col_Name] += extraNameWidth;
    l.datePattern = QStringLiteral("MM/dd/yyyy");
    l.timePattern = QStringLiteral("h:mm tt");
    return l;
}

inline Render::SPrintBands PrintBands(const QString &title, const QString &file)
{
    return {QStringLiteral("Quelix"),        title, QStringLiteral("Vetradesk Version 1.0.1.0"),
            QStringLiteral("Page %d of %d"), file,  QStringLiteral("12/09/2026 10:52 AM")};
}

inline std::vector<const object_t *> Pointers(const std::vector<object_t> &list)
{
    std::vector<const object_t *> p;
    for (const object_t &o : list)
        p.push_back(&o);
    return p;
}

}   // namespace TestSupport
