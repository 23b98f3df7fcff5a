#pragma once
// The private clipboard format on the system clipboard: a MIME type of our
// own carrying the payload bytes, so that a second running program can paste.

#include "project/documentui.h"

#include <QObject>

class CQtProjectClipboard : public QObject, public IProjectClipboard
{
    Q_OBJECT
public:
    static const QString &MimeType();

    explicit CQtProjectClipboard(QObject *parent = nullptr);

    bool SetProjectData(const QByteArray &block) override;
    // The private block and its text form in one step, so that other
    // programs paste the text.
    void SetProjectDataAndText(const QByteArray &block, const QString &text);
    std::optional<QByteArray> ProjectData() const override;

Q_SIGNALS:
    // The clipboard's content changed (here or in another program).
    void Changed();
};
