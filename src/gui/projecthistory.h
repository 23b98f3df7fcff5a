#pragma once
// CProjectHistory: undo and redo of the user's changes to one project. The
// document hands over every step a change is made of (project/docedits.h);
// the steps of one change become one command on a QUndoStack, which is
// cleared when a project is opened or closed and marked clean when it is
// saved, so that the modified flag follows undo and redo.

#include "project/changerecorder.h"
#include "project/docedits.h"
#include "project/documentui.h"

#include <QObject>
#include <QUndoStack>

#include <memory>

class CVetraDoc;

class CProjectHistory : public QObject, public IChangeRecorder, public IDocumentView
{
    Q_OBJECT
public:
    // The oldest steps go beyond this many.
    static constexpr int kUndoLimit = 1000;

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
    // What the steps on the stack keep, in bytes.
    std::size_t Bytes() const;

    void BeginChange() override;
    void Record(std::unique_ptr<DocEdits::CEdit> edit) override;
    void EndChange(const QString &text) override;
    void DocumentReplaced() override;
    void DocumentSaved() override;
    void OnDocumentUpdate(int index) override;

    // Takes a step back or makes it again (the commands' undo and redo).
    void Apply(DocEdits::CEdit &edit, bool undo);

Q_SIGNALS:
    // Something to undo or redo, or the modified flag, changed.
    void Changed();

private:
    CVetraDoc &m_document;
    QUndoStack m_stack;
    std::unique_ptr<DocEdits::CGroup> m_change;   // the steps of the change under way
    int m_depth = 0;
    bool m_applying = false;
};
