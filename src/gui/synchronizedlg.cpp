#include "gui/synchronizedlg.h"

#include "gui/accessibletext.h"
#include "res/resources.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CSynchronizeDlg::CSynchronizeDlg(int incoming, int newOnes, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("synchronizeDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_SYNC_TITLE));

    auto *icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);
    auto *already = new QLabel(Res::FormatString(Res::IDS_SYNC_ALREADY, {incoming - newOnes, incoming}), this);
    already->setObjectName(QStringLiteral("alreadyText"));
    auto *question = new QLabel(Res::LoadString(Res::IDS_SYNC_QUESTION), this);

    auto *newOnly = new QPushButton(Res::FormatString(Res::IDS_SYNC_ADD_NEW, {newOnes}), this);
    newOnly->setObjectName(QStringLiteral("addNewOnly"));
    newOnly->setDefault(true);
    auto *all = new QPushButton(Res::FormatString(Res::IDS_SYNC_ADD_ALL, {incoming}), this);
    all->setObjectName(QStringLiteral("addAll"));
    auto *cancel = new QPushButton(Res::LoadString(Res::IDS_BUTTON_CANCEL), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    Accessible::Describe(*newOnly, Res::IDS_A11Y_SYNC_NEW);
    Accessible::Describe(*all, Res::IDS_A11Y_SYNC_ALL);
    Accessible::Describe(*cancel, Res::IDS_A11Y_SYNC_CANCEL);

    connect(newOnly, &QPushButton::clicked, this, [this] {
        m_answer = kAddNewOnly;
        done(kAddNewOnly);
    });
    connect(all, &QPushButton::clicked, this, [this] {
        m_answer = kAddAll;
        done(kAddAll);
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_answer = kCancel;
        done(kCancel);
    });

    auto *texts = new QVBoxLayout;
    texts->addWidget(already);
    texts->addWidget(question);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(newOnly);
    buttons->addWidget(all);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}
