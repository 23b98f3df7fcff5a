#include "shell/aboutdlg.h"

#include "app/language.h"
#include "gui/accessibletext.h"
#include "gui/icons.h"
#include "res/resources.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString majorMinor(const CFileVersionInfo &info)
{
    return QStringLiteral("%1.%2").arg(info.GetProductVersionPart(3)).arg(info.GetProductVersionPart(2));
}

// Unwrapped: a wrapping label asks for the height of its narrowest layout,
// which left an empty band under the box's lines. The texts are short.
QLabel *field(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}   // namespace

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_ABOUT_TITLE));
    const CFileVersionInfo &program = ProgramVersionInfo();
    const CFileVersionInfo &language = LanguageVersionInfo();

    auto *icon = new QLabel(this);
    icon->setPixmap(Icons::Picture(u"vetradesk", QSize(64, 64), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);
    auto *name = new QLabel(program.GetProductName(), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);

    auto *versions = new QFormLayout;
    auto *group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("fileDescription"));
    auto *groupForm = new QFormLayout(group);
    groupForm->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A library's own record is shown only while one is active: the built-in
    // language's record is the program's.
    const bool library = language.HasInfo() && Res::StringSource() != nullptr;
    if (program.HasInfo()) {
        versions->addRow(Res::LoadString(Res::IDS_ABOUT_VERSION),
                         field(QStringLiteral("version"), majorMinor(program), this));
        versions->addRow(Res::LoadString(Res::IDS_ABOUT_RELEASE),
                         field(QStringLiteral("release"), QString::number(program.GetProductVersionPart(1)), this));
        versions->addRow(Res::LoadString(Res::IDS_ABOUT_BUILD),
                         field(QStringLiteral("build"), QString::number(program.GetProductVersionPart(0)), this));
        group->setTitle(program.String(CFileVersionInfo::FileDescription));
        const CFileVersionInfo &texts = language.HasInfo() ? language : program;
        groupForm->addRow(Res::LoadString(Res::IDS_ABOUT_COMMENTS),
                          field(QStringLiteral("comments"), texts.String(CFileVersionInfo::Comments), group));
        groupForm->addRow(Res::LoadString(Res::IDS_ABOUT_COPYRIGHT),
                          field(QStringLiteral("copyright"), texts.String(CFileVersionInfo::LegalCopyright), group));
        if (library) {
            groupForm->addRow(Res::LoadString(Res::IDS_ABOUT_LANGUAGE),
                              field(QStringLiteral("languageDescription"),
                                    language.String(CFileVersionInfo::FileDescription), group));
            groupForm->addRow(Res::LoadString(Res::IDS_ABOUT_LANGUAGE_VERSION),
                              field(QStringLiteral("languageVersion"),
                                    QStringLiteral("%1.%2.%3")
                                        .arg(majorMinor(language))
                                        .arg(language.GetProductVersionPart(1))
                                        .arg(language.GetProductVersionPart(0)),
                                    group));
        }
    }

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(Res::LoadString(Res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    Accessible::Describe(*ok, Res::IDS_A11Y_CLOSE);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addLayout(versions);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}
