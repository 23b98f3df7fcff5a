#pragma once
// The one handler for a parameter a function cannot use, such as a format
// conversion without a fitting argument: it says so on stderr, in two lines,
// and returns, and the caller goes on without that parameter. A translated
// format with a wrong conversion is a fault of the language library, not of
// the user, so it is told to whoever reads the program's output.

#include <QStringView>

namespace Res {

// Writes "Invalid parameter detected in function FUNCTION. File: FILE Line:
// LINE" and "Expression: EXPRESSION" to stderr. Safe from any thread: the two
// lines of one call stay together.
void InvalidParameter(const char *function, const char *file, int line, QStringView expression);

}   // namespace Res
