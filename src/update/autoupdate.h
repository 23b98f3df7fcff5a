#pragma once
// CAutoUpdate: the update wizard. The search page asks the update server for
// an installer newer than the running program; the download page copies it
// next to the program and starts it. The wizard ends with OK only after an
// installer was started, and then the program closes so that it can be
// replaced.

#include "app/versioninfo.h"
#include "update/server/updatecheck.h"
#include "update/server/updateserver.h"

#include <QWizard>

#include <memory>

class CPageDownload;
class CPageSearch;
class IDesktopServices;
class IMessageService;

struct SUpdateServices
{
    IMessageService &messages;
    IDesktopServices &desktop;
};

class CAutoUpdate : public QWizard
{
    Q_OBJECT
public:
    enum PageId { Page_Search = 0, Page_Download = 1 };

    CAutoUpdate(SUpdateServices services, SServerAddress address, QWidget *parent = nullptr);
    ~CAutoUpdate() override;

    // On the pages' work threads: the connection, opened again when the
    // server no longer answers. False with the reason in `error`.
    bool EnsureConnected(QString *error);
    UpdateServer &Server() { return m_server; }

    // The folder the installer goes to, with a trailing "/".
    const QString &ProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const QString &folder);
    CVersion OwnProductVersion() const;
    QString ProductName() const { return m_ownVersion.GetProductName(); }

    SUpdateChoice &Choice() { return m_choice; }
    SUpdateServices Services() const { return m_services; }
    CPageSearch *SearchPage() const { return m_searchPage; }
    CPageDownload *DownloadPage() const { return m_downloadPage; }

    // The installer was started: the wizard may end with OK.
    void SetLaunched() { m_launched = true; }
    bool Launched() const { return m_launched; }

public Q_SLOTS:
    void reject() override;
    void accept() override;

private:
    void onPageChanged(int id);
    void updateButtons();

    SUpdateServices m_services;
    UpdateServer m_server;
    QString m_programFolder;
    CFileVersionInfo m_ownVersion;
    SUpdateChoice m_choice;
    bool m_launched = false;
    CPageSearch *m_searchPage;
    CPageDownload *m_downloadPage;
};

// Runs the wizard modally; true only when an installer was downloaded and
// started (the program should end then).
bool RunUpdateWizard(SUpdateServices services, QWidget *parent = nullptr);
