#include "wizard/searchrelay.h"

#include "device/qxdevice.h"
#include "wizard/devfoundpage.h"

#include <memory>

namespace {

// A driver on its way to the page. If the queued call is dropped because the
// page died first, the holder's destructor closes the driver's port.
struct SHandOver
{
    std::unique_ptr<Device::CQxDevice> device;
};

} // namespace

CSearchRelay &CSearchRelay::Instance()
{
    static CSearchRelay relay;
    return relay;
}

std::uint64_t CSearchRelay::Attach(CDevFoundPage *page)
{
    std::lock_guard guard(m_lock);
    m_page = page;
    return ++m_search;
}

void CSearchRelay::Detach(const CDevFoundPage *page)
{
    std::lock_guard guard(m_lock);
    if (m_page == page)
        m_page = nullptr;
}

void CSearchRelay::OnStatus(const QString &text)
{
    std::lock_guard guard(m_lock);
    if (!m_page)
        return;
    // Posted while the lock keeps the page alive; Qt drops the call if the
    // page is destroyed before it runs.
    QMetaObject::invokeMethod(m_page, [page = m_page, search = m_search, text] { page->OnSearchStatus(search, text); },
                              Qt::QueuedConnection);
}

void CSearchRelay::OnDeviceFound(Device::CQxDevice *device)
{
    auto handOver = std::make_shared<SHandOver>();
    handOver->device.reset(device);
    std::lock_guard guard(m_lock);
    if (!m_page)
        return;   // the driver is deleted with the hand-over
    QMetaObject::invokeMethod(
        m_page,
        [page = m_page, search = m_search, handOver, ended = device == nullptr] {
            page->OnSearchResult(search, std::move(handOver->device), ended);
        },
        Qt::QueuedConnection);
}
