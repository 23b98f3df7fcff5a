#pragma once
// A local FTP server (tests/support/ftpserver.py) on a temporary root, laid out
// as the update server is: ROOT/QxUpgrade/Vetradesk/<installers>.

#include "support/localftp.h"
#include "support/testsupport.h"
#include "update/server/updateserver.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

class FtpFixture : public ::testing::Test
{
protected:
    // The folder the program itself asks for (UpdateDirectory of "Vetradesk").
    static QString Directory() { return QStringLiteral("./QxUpgrade/Vetradesk/"); }

    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("QxUpgrade/Vetradesk")));
    }

    void TearDown() override { KillServer(); }

    QString UpdateFolder() const { return m_root.filePath(QStringLiteral("QxUpgrade/Vetradesk")); }

    void AddFile(const QString &name, const QByteArray &bytes)
    {
        TestSupport::WriteBytes(UpdateFolder() + u'/' + name, bytes);
    }

    bool StartServer(const QStringList &options = {}) { return m_ftp.Start(m_root.path(), options); }
    void KillServer() { m_ftp.Kill(); }

    int Port() const { return m_ftp.Port(); }

    // The program's own login, on the local server.
    SServerAddress Address() const
    {
        SServerAddress address = DefaultServerAddress();
        address.host = QStringLiteral("127.0.0.1");
        address.port = Port();
        return address;
    }

    // Bytes that differ along the whole file, so a lost, repeated or
    // reordered block shows.
    static QByteArray Payload(qsizetype size, std::uint32_t seed)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        std::uint32_t x = seed | 1u;
        for (qsizetype i = 0; i < size; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            bytes[i] = char(x);
        }
        return bytes;
    }

private:
    QTemporaryDir m_root;
    TestSupport::CLocalFtpServer m_ftp;
};
