#pragma once
// How the undo history learns of the user's changes. The document tells a
// recorder before and after each change (changes may nest; the outermost one
// counts), hands it every step the change is made of (project/docedits.h),
// and says when it was opened, closed or saved.

#include <QString>

#include <memory>

class CVetraDoc;

namespace DocEdits {
class CEdit;
}

class IChangeRecorder
{
public:
    virtual ~IChangeRecorder() = default;
    virtual void BeginChange() = 0;
    // A step of the change under way, already made.
    virtual void Record(std::unique_ptr<DocEdits::CEdit> edit) = 0;
    // `text` says what the change did, for "Undo <text>".
    virtual void EndChange(const QString &text) = 0;
    // Opened or closed: earlier changes can no longer be undone.
    virtual void DocumentReplaced() = 0;
    virtual void DocumentSaved() = 0;
};

// One user change: Begin on construction, End with its text on destruction.
class CChangeScope
{
public:
    CChangeScope(CVetraDoc &document, QString text);
    ~CChangeScope();
    CChangeScope(const CChangeScope &) = delete;
    CChangeScope &operator=(const CChangeScope &) = delete;
    void SetText(QString text) { m_text = std::move(text); }

private:
    IChangeRecorder *m_recorder;
    QString m_text;
};
