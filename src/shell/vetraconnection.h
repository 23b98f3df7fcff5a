#pragma once
// CVetraConnection: makes sure the instrument service holds a cover meter that
// answers before an instrument command runs. The held one is asked to identify
// itself (off the user-interface thread, the window painted behind the wait
// cursor); when it does not answer, or none is held, the connection wizard
// finds one.

#include <QObject>

#include <functional>

namespace Instrument {
class CInstrumentService;
struct SCallResult;
}

class CVetraConnection : public QObject
{
    Q_OBJECT
public:
    // Runs the connection wizard; true when the service holds an instrument after it.
    using Wizard = std::function<bool()>;
    using Then = std::function<void(bool connected)>;

    explicit CVetraConnection(Instrument::CInstrumentService &service, QObject *parent = nullptr);

    void SetWizard(Wizard wizard) { m_wizard = std::move(wizard); }

    // `then` is called once, on this thread, with whether an instrument that
    // answers is held. False (and `then` never called) while the service is
    // busy or another connection is being made.
    bool ConnectInstrument(Then then);
    // True from ConnectInstrument until its `then` has returned.
    bool IsConnecting() const { return bool(m_then); }
    // Closes the held instrument's port; false while the service is busy.
    bool DisconnectInstrument();

private:
    void identified(const Instrument::SCallResult &result);
    void runWizardThen();

    Instrument::CInstrumentService &m_service;
    Wizard m_wizard;
    Then m_then;
    bool m_identifying = false;
};
