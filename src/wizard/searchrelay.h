#pragma once
// CSearchRelay: the search's receiver. The worker calls it on its own thread;
// it turns each report into a queued call on the result page. It lives as
// long as the program, so a search that outlasts its page still has somewhere
// to report, and a driver found after the page is gone is deleted here (its
// port closed) instead of leaking.

#include "device/callback.h"

#include <cstdint>
#include <mutex>

class CDevFoundPage;

class CSearchRelay : public Device::CCallback
{
public:
    static CSearchRelay &Instance();

    // From now on reports go to `page`, marked with the returned search
    // number; the page ignores reports of an earlier search.
    std::uint64_t Attach(CDevFoundPage *page);
    // No more reports reach `page` (it is going away).
    void Detach(const CDevFoundPage *page);

    void OnStatus(const QString &text) override;
    void OnDeviceFound(Device::CQxDevice *device) override;

private:
    CSearchRelay() = default;

    std::mutex m_lock;
    CDevFoundPage *m_page = nullptr;   // guarded; the page detaches before it dies
    std::uint64_t m_search = 0;
};
