#pragma once
// CVetraDoc: the project — the current objects, the originals as downloaded,
// the file path, the modified flag, and the views to tell about changes.

#include "project/changerecorder.h"
#include "project/docedits.h"
#include "project/documentui.h"
#include "project/projectfile.h"
#include "project/vetradata.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

inline constexpr const char *kClipboardFormatName = "VetradeskClipboardFormat";

class CVetraDoc
{
public:
    // `ui` answers the document's questions; it must outlive the document.
    explicit CVetraDoc(IDocumentUi &ui);
    ~CVetraDoc();
    CVetraDoc(const CVetraDoc &) = delete;
    CVetraDoc &operator=(const CVetraDoc &) = delete;

    CVetraData &Current() { return m_current; }
    const CVetraData &Current() const { return m_current; }
    const CVetraData &Originals() const { return m_originals; }

    bool HasObjects() const { return m_current.GetCount() > 0 || m_originals.GetCount() > 0; }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    const QString &GetPath() const { return m_path; }

    void RegisterView(IDocumentView *view);
    void UnregisterView(IDocumentView *view);
    // One object (its position) or all (-1) changed.
    void UpdateAllViews(IDocumentView *sender, int index);
    void Notify(const SDocumentChange &change);

    // Download, data-file import and drop. With `synchronize`, objects that are
    // already the project's latest ones may be left out (the user decides).
    // False when the user cancelled.
    bool AddObjects(const QList<TVetraObject> &incoming, bool add, bool synchronize);
    void RestoreOriginals();
    QString GetTitle(bool fileNameOnly) const;

    // Asks to save a modified project first; false when the user cancelled or
    // the save failed.
    bool CloseProject();
    bool Save();
    bool SaveAs();
    // Writes the whole project. The old file is replaced only once the new one
    // is complete on disk; a failure is shown, leaves the project modified and
    // returns false.
    bool SaveToPath(const QString &path);
    // A file that cannot be opened or read is shown as the read message and,
    // on a second line, the reason; false then.
    bool OpenProject(const QString &path, bool add);

    // The private clipboard payload of the flagged current objects.
    QByteArray BuildClipboardPayload(const Selection &selection) const;
    bool CopyToClipboard(IProjectClipboard &clipboard, const Selection &selection) const;
    // Appends the clipboard's objects. A damaged payload changes nothing, is
    // shown as a read error and returns false.
    bool PasteFromClipboard(const IProjectClipboard &clipboard);
    bool CanPaste(const IProjectClipboard &clipboard) const;

    // Told of the path of every project file saved or opened, whichever
    // command or question led to it (the recent projects).
    void SetFileListener(std::function<void(const QString &path)> listener) { m_fileListener = std::move(listener); }

    // The undo history, told of every change the user makes (may be null).
    void SetChangeRecorder(IChangeRecorder *recorder) { m_recorder = recorder; }
    IChangeRecorder *ChangeRecorder() const { return m_recorder; }
    // Makes the change and hands it to the undo history, if one listens.
    void Perform(std::unique_ptr<DocEdits::CEdit> edit);

    // The primitive changes the edits are made of. Each tells the views what
    // changed in the current list; none is recorded.
    CVetraData &List(DocEdits::NList list) { return list == DocEdits::NList::Current ? m_current : m_originals; }
    const CVetraData &List(DocEdits::NList list) const
    {
        return list == DocEdits::NList::Current ? m_current : m_originals;
    }
    DocEdits::SFieldValue FieldValue(int object, SDocumentChange::Field field) const;
    void ApplyField(int object, const DocEdits::SFieldValue &value);
    CVetraData::Objects TakeObjects(DocEdits::NList list, const std::vector<int> &positions);
    void PutObjects(DocEdits::NList list, const std::vector<int> &positions, CVetraData::Objects objects);
    void ReorderList(DocEdits::NList list, const std::vector<int> &sourceOf, std::uint8_t sortMode);
    // `sortMode` goes in with `objects` and comes out as the replaced list's.
    CVetraData::Objects ReplaceList(DocEdits::NList list, CVetraData::Objects objects, std::uint8_t &sortMode);

    // The program version written into project files (1.0.1.0 unless set).
    void SetProgramVersion(const ProgramVersion &version) { m_version = version; }

private:
    void writeTo(const QString &path);
    bool pastePayload(const QByteArray &payload);
    // Adds `objects` to `list`: at the end, or, when the list is sorted (by
    // `sortMode`, which it takes), where the sort puts them.
    // The objects of both lists read aside (a pasted or added project) join
    // this project's lists.
    void joinLists(CVetraData &originals, CVetraData &current, bool sortCurrent);
    // Each current object's position becomes its index, as after a sort.
    void renumber();
    void addObjects(DocEdits::NList list, CVetraData::Objects objects, std::uint8_t sortMode, bool sorted);

    IDocumentUi &m_ui;
    CVetraData m_originals;
    CVetraData m_current;
    std::vector<IDocumentView *> m_views;
    bool m_modified = false;
    QString m_path;
    ProgramVersion m_version{1, 0, 1, 0};
    IChangeRecorder *m_recorder = nullptr;
    std::function<void(const QString &)> m_fileListener;
};
