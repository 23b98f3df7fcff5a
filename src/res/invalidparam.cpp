#include "res/invalidparam.h"

#include <QByteArray>

#include <cstdio>
#include <mutex>

namespace Res {
namespace {

std::mutex g_writeLock;

}   // namespace

void InvalidParameter(const char *function, const char *file, int line, QStringView expression)
{
    const QByteArray text = expression.toUtf8();
    const std::lock_guard<std::mutex> lock(g_writeLock);
    std::fprintf(stderr, "Invalid parameter detected in function %s. File: %s Line: %d\n", function ? function : "",
                 file ? file : "", line);
    std::fprintf(stderr, "Expression: %s\n", text.constData());
    std::fflush(stderr);
}

}   // namespace Res
