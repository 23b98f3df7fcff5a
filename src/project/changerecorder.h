#pragma once
// How the undo history learns of the user's changes. The document tells a
// recorder before and after each change (changes may nest; the outermost one
// counts) and when it was opened, closed or saved; the recorder captures the
// document's state around the change and can put a captured state back.

#include "data/measurement.h"

#include <QString>

#include <memory>
#include <vector>

struct object_t;
class CVetraDoc;

// Both lists of a project as they were at one moment. Objects that did not
// change between two captures are shared, so a rename costs one object.
struct SDocState
{
    std::vector<std::shared_ptr<const object_t>> current;
    std::vector<std::shared_ptr<const object_t>> originals;
    std::uint8_t currentSort = 0;
    std::uint8_t originalsSort = 0;

    // The same objects (by identity after sharing) and sort modes.
    bool SameAs(const SDocState &other) const;
};

class IChangeRecorder
{
public:
    virtual ~IChangeRecorder() = default;
    virtual void BeginChange() = 0;
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
