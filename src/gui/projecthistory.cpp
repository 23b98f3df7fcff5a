#include "gui/projecthistory.h"

#include "project/vetradoc.h"
#include "res/resources.h"

namespace {

class CStateCommand : public QUndoCommand
{
public:
    CStateCommand(CProjectHistory &history, const QString &text, SDocState before, SDocState after)
        : QUndoCommand(text), m_history(history), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { m_history.Apply(m_before); }
    void redo() override
    {
        // Pushed after the change was made: the first redo has nothing to do.
        if (m_done)
            m_history.Apply(m_after);
        m_done = true;
    }

private:
    CProjectHistory &m_history;
    SDocState m_before;
    SDocState m_after;
    bool m_done = false;
};

} // namespace

CProjectHistory::CProjectHistory(CVetraDoc &document, QObject *parent) : QObject(parent), m_document(document)
{
    m_document.SetChangeRecorder(this);
    m_document.RegisterView(this);
    m_last = m_document.CaptureState(nullptr);
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        m_document.SetModified(!clean);
        Q_EMIT Changed();
    });
    connect(&m_stack, &QUndoStack::indexChanged, this, &CProjectHistory::Changed);
}

CProjectHistory::~CProjectHistory()
{
    // The stack clears itself on the way out: nobody is to hear of that.
    m_stack.blockSignals(true);
    blockSignals(true);
    m_document.UnregisterView(this);
    if (m_document.ChangeRecorder() == this)
        m_document.SetChangeRecorder(nullptr);
}

QString CProjectHistory::UndoText() const
{
    return Res::LoadString(Res::IDS_UNDO_PREFIX) + u' ' + m_stack.undoText();
}

QString CProjectHistory::RedoText() const
{
    return Res::LoadString(Res::IDS_REDO_PREFIX) + u' ' + m_stack.redoText();
}

void CProjectHistory::BeginChange()
{
    if (m_depth++ == 0)
        m_before = m_document.CaptureState(&m_last);
}

void CProjectHistory::EndChange(const QString &text)
{
    if (--m_depth > 0)
        return;
    SDocState after = m_document.CaptureState(&m_before);
    m_last = after;
    if (after.SameAs(m_before))
        return;   // cancelled, or nothing to change
    m_stack.push(new CStateCommand(*this, text, std::move(m_before), std::move(after)));
    m_before = {};
}

void CProjectHistory::DocumentReplaced()
{
    m_stack.clear();
    m_last = m_document.CaptureState(nullptr);
    Q_EMIT Changed();
}

void CProjectHistory::DocumentSaved()
{
    m_stack.setClean();
    Q_EMIT Changed();
}

void CProjectHistory::OnDocumentUpdate(int)
{
    if (m_depth > 0 || m_applying)
        return;
    // A change no step records (an object expanded, a diagram's order): the
    // saved state can no longer be reached by undoing.
    if (m_document.IsModified() && m_stack.isClean())
        m_stack.resetClean();
    m_last = m_document.CaptureState(&m_last);
}

void CProjectHistory::Apply(const SDocState &state)
{
    m_applying = true;
    m_document.RestoreState(state);
    m_applying = false;
    m_last = state;
    // The flag follows the history: modified unless this is the saved state.
    m_document.SetModified(true);
}
