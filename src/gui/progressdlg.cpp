#include "gui/progressdlg.h"

#include "gui/accessibletext.h"
#include "res/resources.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CProgressDlg::CProgressDlg(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_bar(new QProgressBar(this)),
      m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("progressDialog"));
    setWindowTitle(Res::LoadString(Res::IDS_APP_TITLE));
    m_bar->setObjectName(QStringLiteral("progressBar"));
    Accessible::Set(*m_bar, Res::IDS_A11Y_PROGRESS, Res::IDS_A11Y_PROGRESS_TEXT);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(360);
    m_text->setObjectName(QStringLiteral("statusText"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_lastText = Res::LoadString(Res::IDS_PROGRESS_DOWNLOADING);
    m_text->setText(m_lastText);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(12);
    layout->addWidget(m_bar);
    layout->addWidget(m_text);
    setMinimumWidth(420);
}

void CProgressDlg::SetProgress(int perMille)
{
    if (m_lastPosition == -1) {
        repaint();
        m_bar->setRange(0, 1000);
    }
    if (perMille == m_lastPosition && perMille != 1000) {
        m_lastPosition = perMille;
        return;
    }
    if (perMille == 1000)
        m_bar->setValue(999);
    m_bar->setValue(perMille);
    m_bar->repaint();
    m_lastPosition = perMille;
}

void CProgressDlg::SetStatusText(const QString &text)
{
    if (text == m_lastText)
        return;
    m_lastText = text;
    m_text->setText(text);
    repaint();
}

void CProgressDlg::Reset()
{
    m_lastPosition = -1;
    m_bar->reset();
    m_lastText = Res::LoadString(Res::IDS_PROGRESS_DOWNLOADING);
    m_text->setText(m_lastText);
    setWindowTitle(Res::LoadString(Res::IDS_APP_TITLE));
}

void CProgressDlg::reject()
{
    if (m_closable)
        QDialog::reject();
}

void CProgressDlg::closeEvent(QCloseEvent *event)
{
    if (m_closable)
        QDialog::closeEvent(event);
    else
        event->ignore();
}
