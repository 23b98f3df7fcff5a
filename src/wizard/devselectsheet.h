#pragma once
// CDevSelectSheet: the connection wizard. Page one chooses how the instrument
// is connected; page two searches those ports and lets the user pick one of
// the instruments found. On Finish the picked instrument becomes the
// instrument service's held one.

#include "app/wizardsettings.h"

#include <QWizard>

#include <cstdint>
#include <optional>

class CDevFoundPage;
class CPortSelectPage;
class CSettingsStore;
class IDesktopServices;
class IMessageService;

namespace Instrument {
class CInstrumentService;
}

struct SWizardServices
{
    IMessageService &messages;
    IDesktopServices &desktop;
    Instrument::CInstrumentService &instrument;
};

class CDevSelectSheet : public QWizard
{
    Q_OBJECT
public:
    enum PageId { Page_PortSelect = 0, Page_DevFound = 1 };
    static constexpr int kFinish = 12325;   // the value DoModal returns for Finish
    static constexpr int kCancel = 2;

    CDevSelectSheet(int captionId, SWizardServices services, QWidget *parent = nullptr);
    ~CDevSelectSheet() override;

    // The stored choices; an empty key path does nothing (false).
    bool LoadWizardSettings(const CSettingsStore &store, const QString &key);
    bool SaveWizardSettings(CSettingsStore &store, const QString &key) const;

    // Runs the wizard modally through the message service: kFinish, or
    // kCancel for anything else.
    int DoModal();

    SWizardSettings &State() { return m_state; }
    const SWizardSettings &State() const { return m_state; }
    // The port kinds of the instrument type looked for (Device::NPorts bits).
    std::uint32_t PortMask() const;
    // For a family whose driver this program does not carry.
    void SetPortMask(std::uint32_t mask) { m_portMask = mask; }
    // Finish handed the chosen instrument to the service.
    bool Adopted() const { return m_adopted; }
    void SetAdopted() { m_adopted = true; }

    SWizardServices Services() const { return m_services; }
    CPortSelectPage *PortPage() const { return m_portPage; }
    CDevFoundPage *FoundPage() const { return m_foundPage; }

    // The manual, else a short explanation of the wizard.
    void ShowHelp();

public Q_SLOTS:
    // A search that is still running is stopped first.
    void reject() override;

private:
    void onPageChanged(int id);

    SWizardServices m_services;
    SWizardSettings m_state;
    std::optional<std::uint32_t> m_portMask;
    bool m_adopted = false;
    CPortSelectPage *m_portPage;
    CDevFoundPage *m_foundPage;
};
