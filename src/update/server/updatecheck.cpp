#include "update/server/updatecheck.h"

#include "app/language.h"
#include "app/versioninfo.h"
#include "res/resources.h"
#include "update/server/updateserver.h"

bool IsSafeInstallerName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QStringLiteral(".."));
}

SUpdateChoice ChooseInstaller(const QStringList &names, CVersion own)
{
    SUpdateChoice choice;
    choice.own = own;
    choice.best = own;
    for (const QString &name : names) {
        // The name becomes a local file name: one that could leave the chosen
        // folder is no installer of ours, whatever version it claims.
        if (!IsSafeInstallerName(name))
            continue;
        const CVersion version = CVersion::FromInstallerName(name);
        if (version > choice.best) {
            choice.best = version;
            choice.file = name;
        }
    }
    return choice;
}

CVersion OwnProductVersion()
{
    return CVersion::Parse(ProgramVersionInfo().GetProductVersion());
}

bool EnsureConnected(UpdateServer &server)
{
    return server.IsConnected() || server.Connect(QString());
}

bool ListAndChoose(UpdateServer &server, CVersion own, SUpdateChoice &choice)
{
    QStringList names;
    if (!server.ListNames(names))
        return false;
    choice = ChooseInstaller(names, own);
    if (choice.HasUpdate())
        choice.size = std::max<std::int64_t>(server.FileSize(choice.file), 0);
    return true;
}

bool FindUpdate(UpdateServer &server, CVersion own, SUpdateChoice &choice, bool *listingFailed)
{
    if (listingFailed)
        *listingFailed = false;
    if (!EnsureConnected(server))
        return false;
    const bool listed = ListAndChoose(server, own, choice);
    if (listingFailed)
        *listingFailed = !listed;
    return listed;
}

QString UpdateResultText(const SUpdateChoice &choice, const QString &productName)
{
    if (!choice.HasUpdate())
        return Res::FormatString(Res::IDS_UPDATE_NONE, {productName});
    return Res::FormatString(Res::IDS_UPDATE_FOUND, {productName, choice.best.toString(CVersion::Style::ThreeParts),
                                                     choice.own.toString(CVersion::Style::ThreeParts)});
}
