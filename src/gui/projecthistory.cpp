#include "gui/projecthistory.h"

#include "project/vetradoc.h"
#include "res/resources.h"

namespace {

class CEditCommand : public QUndoCommand
{
public:
    CEditCommand(CProjectHistory &history, const QString &text, std::unique_ptr<DocEdits::CEdit> edit)
        : QUndoCommand(text), m_history(history), m_edit(std::move(edit))
    {
    }
    void undo() override { m_history.Apply(*m_edit, true); }
    void redo() override
    {
        // Pushed after the change was made: the first redo has nothing to do.
        if (m_done)
            m_history.Apply(*m_edit, false);
        m_done = true;
    }
    std::size_t Bytes() const { return sizeof(*this) + std::size_t(text().size()) * sizeof(QChar) + m_edit->Bytes(); }

private:
    CProjectHistory &m_history;
    std::unique_ptr<DocEdits::CEdit> m_edit;
    bool m_done = false;
};

}   // namespace

CProjectHistory::CProjectHistory(CVetraDoc &document, QObject *parent) : QObject(parent), m_document(document)
{
    m_stack.setUndoLimit(kUndoLimit);
    m_document.SetChangeRecorder(this);
    m_document.RegisterView(this);
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

std::size_t CProjectHistory::Bytes() const
{
    std::size_t bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        bytes += static_cast<const CEditCommand *>(m_stack.command(i))->Bytes();
    return bytes;
}

void CProjectHistory::BeginChange()
{
    if (m_depth++ == 0)
        m_change = std::make_unique<DocEdits::CGroup>();
}

void CProjectHistory::Record(std::unique_ptr<DocEdits::CEdit> edit)
{
    if (m_applying)
        return;
    if (m_change) {
        m_change->Add(std::move(edit));
        return;
    }
    // A change outside any step: the steps on the stack would no longer fit
    // the lists they were made on.
    m_stack.clear();
    Q_EMIT Changed();
}

void CProjectHistory::EndChange(const QString &text)
{
    if (--m_depth > 0)
        return;
    std::unique_ptr<DocEdits::CGroup> change = std::move(m_change);
    if (!change || change->IsEmpty())
        return;   // cancelled, or nothing to change
    m_stack.push(new CEditCommand(*this, text, std::move(change)));
}

void CProjectHistory::DocumentReplaced()
{
    m_stack.clear();
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
}

void CProjectHistory::Apply(DocEdits::CEdit &edit, bool undo)
{
    m_applying = true;
    if (undo)
        edit.Undo(m_document);
    else
        edit.Redo(m_document);
    m_applying = false;
    // The flag follows the history: modified unless this is the saved state.
    m_document.SetModified(true);
}
