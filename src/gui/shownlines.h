#pragma once
// Resource texts end their lines in CR LF, as message boxes once wanted;
// a label or text field wants LF alone.

#include <QString>

inline QString ShownLines(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
