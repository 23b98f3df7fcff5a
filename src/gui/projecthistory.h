#pragma once
// CProjectHistory: undo and redo of the user's changes to one project. The
// document reports each change (project/changerecorder.h); the history keeps
// the state before and after it on a QUndoStack, which is cleared when a
// project is opened or closed and marked clean when it is saved, so that the
// modified flag follows undo and redo.

#include "project/changerecorder.h"
#include "project/documentui.h"

#include <QObject>
#include <QUndoStack>

class CVetraDoc;

class CProjectHistory : public QObject, public IChangeRecorder, public IDocumentView
{
    Q_OBJECT
public:
    explicit CProjectHistory(CVetraDoc &document, QObject *parent = nullptr);
    ~CProjectHistory() override;

    QUndoStack &Stack() { return m_stack; }
    bool CanUndo() const { return m_stack.canUndo(); }
    bool CanRedo() const { return m_stack.canRedo(); }
    // "Undo rename of 003", "Redo deletion of 2 objects": the menu's texts.
    QString UndoText() const;
    QString RedoText() const;
    void Undo() { m_stack.undo(); }
    void Redo() { m_stack.redo(); }

    void BeginChange() override;
    void EndChange(const QString &text) override;
    void DocumentReplaced() override;
    void DocumentSaved() override;
    void OnDocumentUpdate(int index) override;

    // Puts a captured state back (the commands' undo and redo).
    void Apply(const SDocState &state);

Q_SIGNALS:
    // Something to undo or redo, or the modified flag, changed.
    void Changed();

private:
    CVetraDoc &m_document;
    QUndoStack m_stack;
    SDocState m_last;     // the state after the last change seen
    SDocState m_before;   // the state when the outermost change began
    int m_depth = 0;
    bool m_applying = false;
};
