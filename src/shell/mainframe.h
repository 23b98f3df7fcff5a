#pragma once
// CMainFrame: the program's one top-level window. It owns the project
// document, the client view with the object table, the toolbar and status
// bar, the progress window and the instrument connection, and turns menu and
// toolbar commands into work.

#include "gui/documentui.h"
#include "project/vetradoc.h"
#include "shell/recentprojects.h"
#include "shell/vetraconnection.h"

#include <QHash>
#include <QMainWindow>

#include <memory>
#include <utility>
#include <vector>

namespace Instrument {
class CInstrumentService;
struct SCallResult;
}   // namespace Instrument

class CChildView;
class CLogoButton;
class CProgressDlg;
class CProjectHistory;
class CQtProjectClipboard;
class IDesktopServices;
class IMessageService;
class QLabel;
class QMenu;
class QToolBar;

// The services a window talks to the user and the desktop through.
struct SShellServices
{
    IMessageService &messages;
    IDesktopServices &desktop;
};

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    explicit CMainFrame(SShellServices services, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // Places the window at (2, 2), the screen's width less 4 wide and 90 %
    // of its height high.
    void PlaceOnScreen();
    // The program's arguments without its options: exactly one is a
    // project to open; any other number opens nothing.
    void OpenFromCommandLine(const QStringList &arguments);
    // Files dropped on the window, in the order dropped.
    void DropFiles(const QStringList &paths);

    // Runs command `id` under the exception guard, as a menu choice does.
    void Execute(int id);
    bool IsCommandEnabled(int id) const;
    // The first menu entry of command `id`, null when it has none.
    QAction *MenuAction(int id) const;
    QAction *ToolbarAction(int id) const;

    CVetraDoc &Document() { return m_document; }
    CVetraConnection &Connection() { return *m_connection; }
    Instrument::CInstrumentService &Instruments() { return *m_instrument; }
    // An instrument command is under way: connecting, or the service busy.
    bool IsInstrumentBusy() const;
    CProgressDlg &Progress() { return *m_progress; }
    CChildView &View() { return *m_view; }
    CProjectHistory &History() { return *m_history; }

    // Texts of the window, its menu and its views again, after the language
    // changed.
    void Retranslate();
    void RefreshTitle();
    void UpdateCommandStates();
    // What the status line shows now: a command's prompt, else the page's text.
    QString StatusLine() const;

    // Entry points of the instrument and update commands.
    void DownloadObjects(bool add);
    void DeleteAllOnInstrument();
    void LaunchUpgradeTool();
    // True when the program must end so that a downloaded installer can run.
    bool CheckForUpdates();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    void buildToolbar();
    void nameToolbar();
    void buildStatusBar();
    QAction *makeAction(int id, QObject *owner);
    void dispatch(int id);

    void importCsvFiles(bool add);
    // Every file that brought nothing is named in one box (`reported`).
    QList<TVetraObject> readCsvFiles(const QStringList &paths, bool *reported = nullptr);
    void restoreOriginals();
    void runSettings();
    void showAbout();
    void openHelp();
    void openUpgradeHelp();
    void openWebSite();
    void openDocument(const QString &path);
    void checkForUpdatesCommand();
    bool refuseWhileBusy();
    void startDownload(bool add);
    void instrumentFinished(const Instrument::SCallResult &result);
    void downloadFinished(const Instrument::SCallResult &result);
    void deleteFinished(const Instrument::SCallResult &result);
    void fillRecentMenu(QMenu &menu);
    void showPageStatus(const QString &text);
    void updateIndicators(Qt::KeyboardModifiers modifiers, quint32 native);

    SShellServices m_services;
    CDocumentUi m_documentUi;
    CVetraDoc m_document;
    Instrument::CInstrumentService *m_instrument;   // a child: outlives every command that uses it
    CVetraConnection *m_connection;
    CQtProjectClipboard *m_clipboard;
    CChildView *m_view;
    QToolBar *m_toolbar = nullptr;
    CLogoButton *m_logo = nullptr;
    CProgressDlg *m_progress;
    QLabel *m_pageStatus = nullptr;
    QString m_pageText;
    QLabel *m_deviceStatus = nullptr;
    QLabel *m_caps = nullptr;
    QLabel *m_num = nullptr;
    std::vector<std::pair<int, QAction *>> m_menuActions;   // in menu order
    QHash<int, QAction *> m_toolActions;
    CRecentProjects m_recent;
    std::unique_ptr<CProjectHistory> m_history;   // goes before the document it watches
    enum class Pending { None, Download, AddDownload, DeleteAll };
    Pending m_pending = Pending::None;   // the instrument call this window waits for
};
