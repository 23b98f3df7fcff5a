#include "shell/vetraconnection.h"

#include "instrument/instrumentservice.h"

#include <QApplication>

using Instrument::NCall;

CVetraConnection::CVetraConnection(Instrument::CInstrumentService &service, QObject *parent)
    : QObject(parent), m_service(service)
{
    connect(&m_service, &Instrument::CInstrumentService::Finished, this, &CVetraConnection::identified);
}

bool CVetraConnection::ConnectInstrument(Then then)
{
    if (m_then || m_service.IsBusy())
        return false;
    m_then = std::move(then);
    if (m_service.HasInstrument() && m_service.Identify()) {
        m_identifying = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return true;
    }
    runWizardThen();
    return true;
}

void CVetraConnection::identified(const Instrument::SCallResult &result)
{
    if (result.call != NCall::Identify || !m_identifying)
        return;
    m_identifying = false;
    QApplication::restoreOverrideCursor();
    if (result.cancelled) {
        m_then = nullptr;   // the program is closing
        return;
    }
    if (!result.ok)
        m_service.Release();
    // Not from inside the service's signal: the wizard is modal.
    QMetaObject::invokeMethod(this, &CVetraConnection::runWizardThen, Qt::QueuedConnection);
}

void CVetraConnection::runWizardThen()
{
    if (!m_service.HasInstrument() && m_wizard)
        m_wizard();
    Then then = std::move(m_then);
    m_then = nullptr;
    const bool connected = m_service.HasInstrument();
    // Still "connecting" while `then` runs, so no second command slips in.
    m_then = [](bool) {};
    if (then)
        then(connected);
    m_then = nullptr;
}

bool CVetraConnection::DisconnectInstrument()
{
    return m_service.Release();
}
