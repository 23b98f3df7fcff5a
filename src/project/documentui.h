#pragma once
// What the project document needs of the user interface: every question it
// asks and every message it shows. The desktop window and the command-line
// tool implement it; tests use a scripted double.

#include <QString>

#include <optional>

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

// A view that shows the document: told to refresh one object or all (-1).
class IDocumentView
{
public:
    virtual ~IDocumentView() = default;
    virtual void OnDocumentUpdate(int index) = 0;
};
