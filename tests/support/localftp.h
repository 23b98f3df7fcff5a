#pragma once
// The local FTP server of the update tests (tests/support/ftpserver.py): the
// update server's login on a folder of the test's choosing, on a free
// loopback port.

#include "support/testsupport.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace TestSupport {

class CLocalFtpServer
{
public:
    ~CLocalFtpServer() { Kill(); }

    // Starts it on `root` with the script's options ("--size", "NAME=BYTES",
    // "--rate", "N") and reads the port it prints once it listens.
    bool Start(const QString &root, const QStringList &options = {})
    {
        // The system interpreter has pyftpdlib; the first python3 on PATH may not.
        m_server.setProgram(QStringLiteral("/usr/bin/python3"));
        m_server.setArguments(QStringList{SourcePath(QStringLiteral("tests/support/ftpserver.py")), root} + options);
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

    void Kill()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    int Port() const { return m_port; }
    QString Address() const { return QStringLiteral("ftp://127.0.0.1:%1").arg(m_port); }

private:
    QProcess m_server;
    int m_port = 0;
};

}   // namespace TestSupport
