#pragma once
// Which installer on the update server is newer than the running program.

#include "data/version.h"

#include <QString>
#include <QStringList>

#include <cstdint>

class UpdateServer;

struct SUpdateChoice
{
    CVersion own;
    CVersion best;           // own when nothing newer was found
    QString file;            // empty: no update
    std::int64_t size = 0;   // as the server gives it

    bool HasUpdate() const { return !file.isEmpty(); }
};

// A name the download may use as a file name in the chosen folder: no
// folder separators and no "..".
bool IsSafeInstallerName(const QString &name);

// The newest installer strictly above `own`, the first listed among equals.
SUpdateChoice ChooseInstaller(const QStringList &names, CVersion own);

// The running program's product version.
CVersion OwnProductVersion();

// The connection, opened again when the server no longer answers; false
// with the reason in the server's GetLastError.
bool EnsureConnected(UpdateServer &server);
// Lists the current folder, chooses and asks for the chosen file's size;
// false (the reason in GetLastError) when the folder cannot be listed.
bool ListAndChoose(UpdateServer &server, CVersion own, SUpdateChoice &choice);
// Both of the above; `listingFailed` tells which failed.
bool FindUpdate(UpdateServer &server, CVersion own, SUpdateChoice &choice, bool *listingFailed = nullptr);

// The result line of a check: the newer version with both versions, or that
// there is none.
QString UpdateResultText(const SUpdateChoice &choice, const QString &productName);
