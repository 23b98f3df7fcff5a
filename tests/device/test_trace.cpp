// The protocol trace. It reads VETRADESK_TRACE once per process, so this
// suite lives in an executable of its own and sets the variable first.
#include "scriptedstream.h"

#include "device/qxcommands.h"
#include "device/trace.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Device;

TEST(ProtocolTrace, EveryByteSentAndReceivedIsDumped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.log"));
    qputenv("VETRADESK_TRACE", path.toLocal8Bit());
    ASSERT_TRUE(TraceEnabled());

    DeviceTest::CScriptedStream stream;
    CQxCommands engine(&stream);
    stream.QueueReply(DeviceTest::Hex("04 78 56 34 12"));
    EXPECT_EQ(engine.ReadValue(), 0x12345678);

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(log.contains(QStringLiteral(" >> 0000  C0 F1 "))) << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral(" << 0000  04 "))) << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral(" << 0000  78 "))) << qPrintable(log);
    // Each line carries a date and time.
    EXPECT_TRUE(log.split(u'\n', Qt::SkipEmptyParts)
                    .first()
                    .contains(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"))));
}
