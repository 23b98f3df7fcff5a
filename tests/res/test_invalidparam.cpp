// The invalid-parameter handler: its two lines on stderr, whole from any
// thread, and the formatter telling it about arguments it cannot use.
#include "res/invalidparam.h"
#include "res/textformat.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Captured
{
    std::string out, err;
};

// What `f` writes to stdout and stderr, each redirected into a file of its own.
Captured Capture(const std::function<void()> &f)
{
    struct Redirect
    {
        int fd;
        std::FILE *file = std::tmpfile();
        int saved = ::dup(fd);
        explicit Redirect(int which) : fd(which) { ::dup2(::fileno(file), fd); }
        std::string restore()
        {
            ::dup2(saved, fd);
            ::close(saved);
            std::string text;
            std::rewind(file);
            char buf[4096];
            while (const std::size_t n = std::fread(buf, 1, sizeof buf, file))
                text.append(buf, n);
            std::fclose(file);
            return text;
        }
    };
    std::fflush(stdout);
    std::fflush(stderr);
    Redirect out(STDOUT_FILENO), err(STDERR_FILENO);
    f();
    std::fflush(stdout);
    std::fflush(stderr);
    Captured c;
    c.err = err.restore();
    c.out = out.restore();
    return c;
}

QStringList Lines(const std::string &text)
{
    return QString::fromStdString(text).split(u'\n', Qt::SkipEmptyParts);
}

}   // namespace

TEST(InvalidParameter, WritesTwoLinesToStderrOnly)
{
    const Captured c = Capture([] { Res::InvalidParameter("Check", "place.cpp", 42, u"n > 0 \u00fc"); });
    EXPECT_EQ(c.err, "Invalid parameter detected in function Check. File: place.cpp Line: 42\n"
                     "Expression: n > 0 \xc3\xbc\n");
    EXPECT_EQ(c.out, "");
}

TEST(InvalidParameter, LinesOfCallsFromManyThreadsStayTogether)
{
    constexpr int kThreads = 8, kCalls = 200;
    const Captured c = Capture([] {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([t] {
                const std::string function = "Thread" + std::to_string(t);
                const QString expression = QStringLiteral("from thread %1").arg(t);
                for (int i = 0; i < kCalls; ++i)
                    Res::InvalidParameter(function.c_str(), "f.cpp", i, expression);
            });
        }
        for (std::thread &t : threads)
            t.join();
    });
    const QStringList lines = Lines(c.err);
    ASSERT_EQ(lines.size(), 2 * kThreads * kCalls);
    const QRegularExpression first(
        QStringLiteral("^Invalid parameter detected in function Thread(\\d+)\\. File: f\\.cpp Line: \\d+$"));
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        const QRegularExpressionMatch m = first.match(lines[i]);
        ASSERT_TRUE(m.hasMatch()) << i << ": " << lines[i].toStdString();
        ASSERT_EQ(lines[i + 1], QStringLiteral("Expression: from thread ") + m.captured(1)) << i;
    }
}

TEST(InvalidParameter, FormatReportsArgumentsItCannotUse)
{
    struct Case
    {
        const char16_t *format;
        std::vector<Res::FormatArg> args;
        const char *output;
        QStringList expressions;
    };
    const QString text = QStringLiteral("t");
    const Case cases[] = {
        {u"%d and %s", {}, " and ", {QStringLiteral("%d: no argument"), QStringLiteral("%s: no argument")}},
        {u"[%d][%5.1f][%c]",
         {text, text, text},
         "[][][]",
         {QStringLiteral("%d: the argument is text"), QStringLiteral("%5.1f: the argument is text"),
          QStringLiteral("%c: the argument is text")}},
        {u"[%0.*f][%0.*f]",
         {2},
         "[][]",
         {QStringLiteral("%0.*f: no argument"), QStringLiteral("%0.*f: precision: no argument"),
          QStringLiteral("%0.*f: no argument")}},
        {u"[%*d]", {text, 5}, "[5]", {QStringLiteral("%*d: width: the argument is text")}},
        {u"[%x]", {std::nan("")}, "[]", {QStringLiteral("%x: the argument is not a finite number")}},
        // Arguments that fit, extra arguments and texts that are no conversion are no fault.
        {u"%s %d %d %% %q %", {42, 1, 2, 3}, "42 1 2 % %q %", {}},
    };
    const QRegularExpression first(QStringLiteral(
        "^Invalid parameter detected in function Res::Format\\. File: \\S*textformat\\.cpp Line: [1-9]\\d*$"));
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.format).toStdString());
        QString output;
        const Captured captured = Capture([&] {
            switch (c.args.size()) {
            case 0: output = Res::Format(c.format, {}); break;
            case 1: output = Res::Format(c.format, {c.args[0]}); break;
            case 2: output = Res::Format(c.format, {c.args[0], c.args[1]}); break;
            case 3: output = Res::Format(c.format, {c.args[0], c.args[1], c.args[2]}); break;
            default: output = Res::Format(c.format, {c.args[0], c.args[1], c.args[2], c.args[3]}); break;
            }
        });
        EXPECT_EQ(output.toStdString(), c.output);
        EXPECT_EQ(captured.out, "");
        const QStringList lines = Lines(captured.err);
        ASSERT_EQ(lines.size(), 2 * c.expressions.size()) << captured.err;
        for (qsizetype i = 0; i < c.expressions.size(); ++i) {
            EXPECT_TRUE(first.match(lines[2 * i]).hasMatch()) << lines[2 * i].toStdString();
            EXPECT_EQ(lines[2 * i + 1], QStringLiteral("Expression: ") + c.expressions[i]);
        }
    }
}
