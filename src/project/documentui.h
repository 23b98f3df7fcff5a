#pragma once
// What the project document needs of the user interface: every question it
// asks and every message it shows. The desktop window and the command-line
// tool implement it; tests use a scripted double.

#include <QString>

#include <optional>
#include <vector>

class IDocumentUi
{
public:
    enum class SaveAnswer { Yes, No, Cancel };
    enum class SyncAnswer { AddNewOnly, AddAll, Cancel };

    virtual ~IDocumentUi() = default;

    // "Would you like to save changes in your Project?"
    virtual SaveAnswer AskSaveChanges() = 0;
    // The save-file dialog; nothing when cancelled.
    virtual std::optional<QString> AskSavePath(const QString &initialName) = 0;
    // The open-file dialog; nothing when cancelled.
    virtual std::optional<QString> AskOpenPath() = 0;
    // The synchronisation question: `incoming` objects, `newOnes` of them new.
    virtual SyncAnswer AskSynchronize(int incoming, int newOnes) = 0;
    // An ordinary error message (the text comes from the string resources).
    virtual void ShowError(const QString &message) = 0;
};

// The private clipboard format as the document sees it.
class IProjectClipboard
{
public:
    virtual ~IProjectClipboard() = default;
    // Places the block under the private format; false when refused.
    virtual bool SetProjectData(const QByteArray &block) = 0;
    // The block of the private format, or nothing when the clipboard has none.
    virtual std::optional<QByteArray> ProjectData() const = 0;
};

// What changed in the document's current list, so that a view can follow
// change by change and keep what the user set up (widths, selection, focus,
// scroll position, expanded rows).
struct SDocumentChange
{
    enum class Kind { All, Changed, Inserted, Removed, Reordered };
    enum class Field { Any, Name, Comment, Regional, TimeStamp, View };

    Kind kind = Kind::All;
    Field field = Field::Any;     // Changed: which one
    int object = -1;              // Changed: its position
    std::vector<int> positions;   // Inserted: the new ones' positions after; Removed: before; ascending
    std::vector<int> sourceOf;    // Reordered: position i now holds the object that stood at sourceOf[i]

    static SDocumentChange All() { return {}; }
    static SDocumentChange ObjectChanged(int object, Field field)
    {
        SDocumentChange c;
        c.kind = Kind::Changed;
        c.field = field;
        c.object = object;
        return c;
    }
};

// A view that shows the document.
class IDocumentView
{
public:
    virtual ~IDocumentView() = default;
    // One object (its position) or all (-1) to show anew.
    virtual void OnDocumentUpdate(int index) = 0;
    // By default a change of one object refreshes it and any other all of them.
    virtual void OnDocumentChange(const SDocumentChange &change)
    {
        OnDocumentUpdate(change.kind == SDocumentChange::Kind::Changed ? change.object : -1);
    }
};
