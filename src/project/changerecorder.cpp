#include "project/changerecorder.h"

#include "project/vetradoc.h"

CChangeScope::CChangeScope(CVetraDoc &document, QString text)
    : m_recorder(document.ChangeRecorder()), m_text(std::move(text))
{
    if (m_recorder)
        m_recorder->BeginChange();
}

CChangeScope::~CChangeScope()
{
    if (m_recorder)
        m_recorder->EndChange(m_text);
}
