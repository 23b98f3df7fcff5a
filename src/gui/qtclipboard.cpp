#include "gui/qtclipboard.h"

#include "project/vetradoc.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

const QString &CQtProjectClipboard::MimeType()
{
    static const QString type = QStringLiteral("application/x-") + QLatin1String(kClipboardFormatName);
    return type;
}

CQtProjectClipboard::CQtProjectClipboard(QObject *parent) : QObject(parent)
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CQtProjectClipboard::Changed);
}

bool CQtProjectClipboard::SetProjectData(const QByteArray &block)
{
    auto *data = new QMimeData;
    data->setData(MimeType(), block);
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void CQtProjectClipboard::SetProjectDataAndText(const QByteArray &block, const QString &text)
{
    auto *data = new QMimeData;
    data->setData(MimeType(), block);
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<QByteArray> CQtProjectClipboard::ProjectData() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(MimeType()))
        return std::nullopt;
    return data->data(MimeType());
}
