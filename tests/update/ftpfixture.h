#pragma once
// A local FTP server (tests/support/ftpserver.py) on a temporary root, laid out
// as the update server is: ROOT/QxUpgrade/Vetradesk/<installers>.

#include "support/testsupport.h"
#include "update/server/updateserver.h"

#include <QDir>
#include <QProcess>
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

    // Starts the server with the script's options ("--size", "NAME=BYTES", ...)
    // and reads the port it prints once it listens.
    bool StartServer(const QStringList &options = {})
    {
        // The system interpreter has pyftpdlib; the first python3 on PATH may not.
        m_server.setProgram(QStringLiteral("/usr/bin/python3"));
        m_server.setArguments(QStringList{TestSupport::SourcePath(QStringLiteral("tests/support/ftpserver.py")),
                                          m_root.path()}
                              + options);
        m_server.start();
        if (!m_server.waitForStarted()) {
            ADD_FAILURE() << "cannot start /usr/bin/python3: " << m_server.errorString().toStdString();
            return false;
        }
        // A generous bound only so that a hanging script ends the test.
        while (!m_server.canReadLine() && m_server.waitForReadyRead(20000)) {
        }
        bool ok = false;
        m_port = m_server.readLine().trimmed().toInt(&ok);
        if (!ok || m_port <= 0) {
            m_server.waitForFinished(1000);
            ADD_FAILURE() << "ftpserver.py gave no port: " << m_server.readAllStandardError().toStdString();
            return false;
        }
        return true;
    }

    void KillServer()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    int Port() const { return m_port; }

    // The program's own login, on the local server.
    SServerAddress Address() const
    {
        SServerAddress address = DefaultServerAddress();
        address.host = QStringLiteral("127.0.0.1");
        address.port = m_port;
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
    QProcess m_server;
    int m_port = 0;
};
