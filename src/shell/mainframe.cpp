#include "shell/mainframe.h"

#include "app/appsettings.h"
#include "data/datafile.h"
#include "gui/commandguard.h"
#include "gui/desktopservices.h"
#include "gui/elidedlabel.h"
#include "gui/icons.h"
#include "gui/logobutton.h"
#include "gui/messageservice.h"
#include "gui/progressdlg.h"
#include "gui/projecthistory.h"
#include "gui/qtclipboard.h"
#include "gui/waitcursor.h"
#include "instrument/instrumentservice.h"
#include "res/resources.h"
#include "shell/aboutdlg.h"
#include "shell/appsettingsdlg.h"
#include "shell/childview.h"
#include "shell/commands.h"
#include "update/autoupdate.h"
#include "views/tablepage.h"
#include "wizard/connectionwizard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

using namespace Commands;

namespace {

// Modifier bits of the X11 and Wayland key state: Lock and Mod2 (Num Lock).
constexpr quint32 kNativeCapsLock = 0x02;
constexpr quint32 kNativeNumLock = 0x10;

}   // namespace

CMainFrame::CMainFrame(SShellServices services, QWidget *parent)
    : QMainWindow(parent), m_services(services), m_documentUi(services.messages), m_document(m_documentUi),
      m_instrument(new Instrument::CInstrumentService(this)), m_connection(new CVetraConnection(*m_instrument, this)),
      m_clipboard(new CQtProjectClipboard(this)),
      m_view(new CChildView(m_document, services.messages, *m_clipboard, this)), m_progress(new CProgressDlg(this)),
      m_recent(Settings::Store(), Settings::SettingsKey()), m_history(std::make_unique<CProjectHistory>(m_document))
{
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(Icons::Get(u"vetradesk"));
    setCentralWidget(m_view);
    setAcceptDrops(true);
    buildMenu();
    buildToolbar();
    buildStatusBar();
    connect(m_view, &CChildView::Changed, this, [this] {
        RefreshTitle();
        UpdateCommandStates();
    });
    connect(m_view, &CChildView::StatusText, this, &CMainFrame::showPageStatus);
    // The page said its first text before anyone listened.
    showPageStatus(m_view->ActivePage().CurrentStatus());
    connect(m_clipboard, &CQtProjectClipboard::Changed, this, &CMainFrame::UpdateCommandStates);
    connect(m_history.get(), &CProjectHistory::Changed, this, [this] {
        RefreshTitle();
        UpdateCommandStates();
    });
    m_connection->SetWizard([this] {
        return RunConnectionWizard({m_services.messages, m_services.desktop, *m_instrument}, Settings::Store(), this);
    });
    connect(m_instrument, &Instrument::CInstrumentService::Finished, this, &CMainFrame::instrumentFinished);
    connect(m_instrument, &Instrument::CInstrumentService::Progress, m_progress, &CProgressDlg::SetProgress);
    // Every project saved or opened is recent, also one saved from the
    // question before Open, Download or Close.
    m_document.SetFileListener([this](const QString &path) { m_recent.Add(path); });
    qApp->installEventFilter(this);
    RefreshTitle();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    // A call still running is stopped and waited for; its result, marked
    // cancelled, only takes the progress window and the wait cursor away.
    m_instrument->StopAndWait();
    m_instrument->Release();
    // The views unregister from the document, which must still exist then.
    delete m_view;
    m_view = nullptr;
}

void CMainFrame::PlaceOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.left() + 2, area.top() + 2);
    resize(area.width() - 4, int(area.height() * 0.9));
}

// ---------------------------------------------------------------------------
// Menu, toolbar, status bar

QAction *CMainFrame::makeAction(int id, QObject *owner)
{
    const SCommand *command = Find(id);
    auto *action = new QAction(owner);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    action->setStatusTip(Prompt(id));
    action->setToolTip(Tooltip(id));
    if (command && command->icon)
        action->setIcon(Icons::Get(command->icon));
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    return action;
}

void CMainFrame::buildMenu()
{
    // The old menu goes with its actions; the new one is read from the
    // resources of the language now active.
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("mainMenu"));
    m_menuActions.clear();
    std::vector<QMenu *> open;
    for (const SMenuEntry &e : MainMenu()) {
        switch (e.kind) {
        case SMenuEntry::Popup: {
            QMenu *menu = open.empty() ? bar->addMenu(Res::LoadString(e.caption))
                                       : open.back()->addMenu(Res::LoadString(e.caption));
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
            open.push_back(menu);
            break;
        }
        case SMenuEntry::Item: {
            QAction *action = makeAction(e.command, open.back());
            action->setText(Res::LoadString(e.caption));
            const SCommand *command = Find(e.command);
            // One action per command carries the shortcut, so that a key
            // never means two entries.
            const bool first = std::none_of(m_menuActions.begin(), m_menuActions.end(),
                                            [&](const auto &p) { return p.first == e.command; });
            if (command && command->key != QKeySequence::UnknownKey && first)
                action->setShortcuts(command->key);
            open.back()->addAction(action);
            m_menuActions.emplace_back(e.command, action);
            break;
        }
        case SMenuEntry::Separator: open.back()->addSeparator(); break;
        case SMenuEntry::RecentList: {
            QMenu *menu = open.back()->addMenu(Res::LoadString(e.caption));
            menu->setObjectName(QStringLiteral("recentProjects"));
            menu->setToolTipsVisible(true);
            // Filled when it opens: no file is looked at while the window starts.
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillRecentMenu(*menu); });
            break;
        }
        case SMenuEntry::End: open.pop_back(); break;
        }
    }
    setMenuBar(bar);   // deletes the old bar
}

void CMainFrame::buildToolbar()
{
    m_toolbar = addToolBar(QString());
    m_toolbar->setObjectName(QStringLiteral("mainToolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(32, 32));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : Toolbar()) {
        if (id == 0) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction *action = makeAction(id, this);
        action->setText(Tooltip(id));
        m_toolbar->addAction(action);
        if (QWidget *button = m_toolbar->widgetForAction(action))
            button->setFixedSize(37, 37);
        m_toolActions.insert(id, action);
    }
    auto *spacer = new QWidget(m_toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolbar->addWidget(spacer);
    m_logo = new CLogoButton(m_toolbar);
    m_logo->setObjectName(QStringLiteral("logoButton"));
    m_logo->setToolTip(Res::LoadString(Res::IDS_LOGO_TOOLTIP));
    connect(m_logo, &CLogoButton::clicked, this,
            [this] { Guard::Run(m_services.messages, Guard::Origin::Handler, [this] { openWebSite(); }); });
    m_toolbar->addWidget(m_logo);
    nameToolbar();
}

// Assistive tools name every control: the bar itself, its overflow button
// (a narrow window shows it) and the logo, which shows no text. A button's
// description is its command's prompt, which says more than the tooltip.
void CMainFrame::nameToolbar()
{
    m_toolbar->setWindowTitle(Res::LoadString(Res::IDS_TOOLBAR_NAME));
    m_toolbar->setAccessibleName(m_toolbar->windowTitle());
    m_toolbar->setAccessibleDescription(Res::LoadString(Res::IDS_TOOLBAR_DESCRIPTION));
    if (auto *more = m_toolbar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(Res::LoadString(Res::IDS_TOOLBAR_MORE));
        more->setAccessibleDescription(Res::LoadString(Res::IDS_TOOLBAR_DESCRIPTION));
    }
    for (auto it = m_toolActions.cbegin(); it != m_toolActions.cend(); ++it)
        if (QWidget *button = m_toolbar->widgetForAction(it.value()))
            button->setAccessibleDescription(Prompt(it.key()));
    m_logo->setAccessibleName(Res::LoadString(Res::IDS_LOGO_TOOLTIP));
    m_logo->setAccessibleDescription(Res::LoadString(Res::IDS_LOGO_DESCRIPTION));
}

void CMainFrame::buildStatusBar()
{
    // What was plugged in or out last, until the next such news.
    m_deviceStatus = new QLabel(this);
    m_deviceStatus->setObjectName(QStringLiteral("deviceStatus"));
    m_deviceStatus->setAccessibleDescription(Res::LoadString(Res::IDS_DEVICE_STATUS_NAME));
    m_deviceStatus->hide();
    statusBar()->addPermanentWidget(m_deviceStatus);
    connect(m_connection, &CVetraConnection::DeviceNotice, this, [this](const QString &text) {
        m_deviceStatus->setText(text);
        m_deviceStatus->setToolTip(text);
        m_deviceStatus->show();
    });
    m_caps = new QLabel(this);
    m_num = new QLabel(this);
    for (QLabel *label : {m_caps, m_num}) {
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("CAPS")) + 12);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(label);
    }
    m_caps->setObjectName(QStringLiteral("capsIndicator"));
    m_num->setObjectName(QStringLiteral("numIndicator"));
    m_caps->setText(Res::LoadString(Res::IDS_INDICATOR_CAPS));
    m_num->setText(Res::LoadString(Res::IDS_INDICATOR_NUM));
    m_caps->setEnabled(false);
    m_num->setEnabled(false);
    // A Wayland client learns the lock state only from its own key events, and
    // not reliably: no indicator rather than one that may be wrong.
    if (QGuiApplication::platformName().startsWith(u"wayland")) {
        m_caps->hide();
        m_num->hide();
    }
    // The page's text stays; a command's prompt covers it only while the
    // pointer is on the command (a temporary message of the status bar).
    // In a narrow window the text ends in "…" before the indicators.
    m_pageStatus = new CElidedLabel(this);
    m_pageStatus->setObjectName(QStringLiteral("pageStatus"));
    statusBar()->addWidget(m_pageStatus, 1);
    showPageStatus(QString());
}

void CMainFrame::showPageStatus(const QString &text)
{
    m_pageText = text;
    m_pageStatus->setText(text.trimmed().isEmpty() ? Res::LoadString(Res::IDS_IDLE_MESSAGE) : text);
}

QString CMainFrame::StatusLine() const
{
    const QString message = statusBar()->currentMessage();
    return message.isEmpty() ? m_pageStatus->text() : message;
}

void CMainFrame::updateIndicators(Qt::KeyboardModifiers, quint32 native)
{
    // Greyed while the lock is off, as status bars have always shown it.
    m_caps->setEnabled(native & kNativeCapsLock);
    m_num->setEnabled(native & kNativeNumLock);
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && QGuiApplication::platformName() == u"xcb") {
        const auto *key = static_cast<QKeyEvent *>(event);
        quint32 native = key->nativeModifiers();
        // The state is the one before this key: a lock key toggles its own bit.
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_CapsLock)
            native ^= kNativeCapsLock;
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_NumLock)
            native ^= kNativeNumLock;
        if (event->type() == QEvent::KeyPress || (key->key() != Qt::Key_CapsLock && key->key() != Qt::Key_NumLock))
            updateIndicators(key->modifiers(), native);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::Retranslate()
{
    buildMenu();
    for (auto it = m_toolActions.cbegin(); it != m_toolActions.cend(); ++it) {
        it.value()->setStatusTip(Prompt(it.key()));
        it.value()->setToolTip(Tooltip(it.key()));
        it.value()->setText(Tooltip(it.key()));
    }
    m_logo->setToolTip(Res::LoadString(Res::IDS_LOGO_TOOLTIP));
    nameToolbar();
    m_progress->setWindowTitle(Res::LoadString(Res::IDS_APP_TITLE));
    showPageStatus(m_pageText);
    m_caps->setText(Res::LoadString(Res::IDS_INDICATOR_CAPS));
    m_num->setText(Res::LoadString(Res::IDS_INDICATOR_NUM));
    m_deviceStatus->setAccessibleDescription(Res::LoadString(Res::IDS_DEVICE_STATUS_NAME));
    m_view->Retranslate();
    RefreshTitle();
    UpdateCommandStates();
}

void CMainFrame::fillRecentMenu(QMenu &menu)
{
    menu.clear();
    const QStringList paths = m_recent.Paths();
    QHash<QString, int> named;
    for (const QString &path : paths)
        ++named[QFileInfo(path).fileName()];
    int n = 0;
    for (const QString &path : paths) {
        ++n;
        // Two entries of one name are told apart by their folders.
        const QFileInfo file(path);
        QString shown = file.fileName();
        if (named.value(shown) > 1)
            shown += QStringLiteral("  (%1)").arg(QDir::toNativeSeparators(file.absolutePath()));
        QAction *action = menu.addAction(QStringLiteral("&%1  %2").arg(n).arg(shown));
        if (QFileInfo::exists(path)) {
            action->setToolTip(path);
            connect(action, &QAction::triggered, this, [this, path] {
                Guard::Run(m_services.messages, Guard::Origin::Command, [&] { m_document.OpenProject(path, false); });
                RefreshTitle();
                UpdateCommandStates();
            });
        } else {
            action->setEnabled(false);
            action->setToolTip(Res::FormatString(Res::IDS_RECENT_MISSING, {path}));
        }
    }
    if (paths.isEmpty())
        menu.addAction(Res::LoadString(Res::IDS_RECENT_NONE))->setEnabled(false);
}

void CMainFrame::RefreshTitle()
{
    QString title = Res::LoadString(Res::IDS_MAINFRAME_TITLE);
    const QString document = m_document.GetTitle(false);
    if (!document.isEmpty())
        title += QStringLiteral(" - ") + document;
    setWindowTitle(title);
}

bool CMainFrame::IsCommandEnabled(int id) const
{
    const SCommand *command = Find(id);
    if (!command)
        return false;
    const CTablePage &page = m_view->ActivePage();
    switch (command->rule) {
    case Rule::Always: return true;
    case Rule::HasObjects: return m_document.HasObjects();
    case Rule::Modified: return m_document.IsModified();
    case Rule::TableHasRows: return page.CanSelectAll();
    case Rule::TableCanCopy: return page.CanCopy();
    case Rule::TableCanDelete: return page.CanDelete();
    case Rule::CanPaste: return m_document.CanPaste(*m_clipboard);
    case Rule::CanUndo: return m_history->CanUndo();
    case Rule::CanRedo: return m_history->CanRedo();
    }
    return false;
}

void CMainFrame::UpdateCommandStates()
{
    // The entries name the step they undo or redo.
    if (QAction *undo = MenuAction(ID_UNDO))
        undo->setText(m_history->CanUndo() ? m_history->UndoText() : Res::LoadString(Res::IDS_MENU_UNDO));
    if (QAction *redo = MenuAction(ID_REDO))
        redo->setText(m_history->CanRedo() ? m_history->RedoText() : Res::LoadString(Res::IDS_MENU_REDO));
    for (const auto &[id, action] : m_menuActions)
        action->setEnabled(IsCommandEnabled(id));
    for (auto it = m_toolActions.cbegin(); it != m_toolActions.cend(); ++it)
        it.value()->setEnabled(IsCommandEnabled(it.key()));
}

QAction *CMainFrame::MenuAction(int id) const
{
    for (const auto &[command, action] : m_menuActions)
        if (command == id)
            return action;
    return nullptr;
}

QAction *CMainFrame::ToolbarAction(int id) const
{
    return m_toolActions.value(id);
}

// ---------------------------------------------------------------------------
// Commands

void CMainFrame::Execute(int id)
{
    // A shortcut may arrive while the state that disabled its entry is stale.
    if (!IsCommandEnabled(id))
        return;
    Guard::Run(m_services.messages, Guard::Origin::Command, [this, id] { dispatch(id); });
    RefreshTitle();
    UpdateCommandStates();
}

void CMainFrame::dispatch(int id)
{
    CTablePage &page = m_view->ActivePage();
    switch (id) {
    case ID_OPEN_PROJECT: m_document.OpenProject(QString(), false); break;
    case ID_OPEN_CSV:
        if (m_document.CloseProject())
            importCsvFiles(false);
        break;
    case ID_DOWNLOAD:
        // Refused before the project closes: a refused command changes nothing.
        if (!refuseWhileBusy() && m_document.CloseProject())
            DownloadObjects(false);
        break;
    case ID_ADD_PROJECT: m_document.OpenProject(QString(), true); break;
    case ID_ADD_CSV: importCsvFiles(true); break;
    case ID_ADD_DOWNLOAD: DownloadObjects(true); break;
    case ID_CLOSE: m_document.CloseProject(); break;
    case ID_SAVE: m_document.Save(); break;
    case ID_SAVE_AS: m_document.SaveAs(); break;
    case ID_EXPORT_CSV: page.ExportCsv(); break;
    case ID_EXPORT_GRAPHIC: page.ExportGraphic(); break;
    case ID_EXPORT_PDF: page.ExportPdfReport(); break;
    case ID_EXPORT_REPORT: page.ExportInspectionReport(); break;
    case ID_EXPORT_XLSX: page.ExportExcelWorkbook(); break;
    case ID_UNDO: m_history->Undo(); break;
    case ID_REDO: m_history->Redo(); break;
    case ID_PRINT: page.Print(); break;
    case ID_RESTORE: restoreOriginals(); break;
    case ID_SETTINGS: runSettings(); break;
    case ID_EXIT: close(); break;
    case ID_DELETE_ALL: DeleteAllOnInstrument(); break;
    case ID_UPGRADE: LaunchUpgradeTool(); break;
    case ID_SELECT_ALL: page.SelectAll(); break;
    case ID_COPY: page.Copy(); break;
    case ID_PASTE: page.Paste(); break;
    case ID_DELETE: page.DeleteSelection(); break;
    case ID_CHECK_UPDATES: checkForUpdatesCommand(); break;
    case ID_HELP: openHelp(); break;
    case ID_HELP_UPGRADE: openUpgradeHelp(); break;
    case ID_ABOUT: showAbout(); break;
    }
}

QList<TVetraObject> CMainFrame::readCsvFiles(const QStringList &paths, bool *reported)
{
    QList<TVetraObject> objects;
    QStringList failures;
    for (const QString &path : paths) {
        QString reason;
        QList<TVetraObject> read;
        // An impossible date throws: it ends the whole import with its message.
        if (!LoadCsvFile(path, read, &reason))
            failures << Res::FormatString(Res::IDS_ERR_FILE_READ, {path, reason});
        else if (read.isEmpty())
            failures << Res::FormatString(Res::IDS_NO_OBJECTS_IN_FILE, {path});
        else
            objects << read;
    }
    if (reported)
        *reported = !failures.isEmpty();
    if (failures.size() == 1 && objects.isEmpty())
        m_services.messages.Show(IMessageService::Icon::Warning, failures.first());
    else if (!failures.isEmpty())
        m_services.messages.Show(IMessageService::Icon::Warning,
                                 Res::FormatString(Res::IDS_FILES_NOT_READ, {failures.join(u'\n')}));
    return objects;
}

void CMainFrame::importCsvFiles(bool add)
{
    const QStringList paths = m_services.messages.AskOpenFiles({Res::LoadString(Res::IDS_CSV_OPEN_FILTER),
                                                                QStringLiteral("csv"),
                                                                Res::LoadString(Res::IDS_CSV_OPEN_NAME),
                                                                {}});
    if (paths.isEmpty())
        return;
    const QList<TVetraObject> objects = readCsvFiles(paths);
    // The files were named in a box already; an empty read must not replace the project.
    if (!objects.isEmpty())
        m_document.AddObjects(objects, add, false);
}

void CMainFrame::restoreOriginals()
{
    if (m_services.messages.Show(IMessageService::Icon::Question, Res::LoadString(Res::IDS_ASK_RESTORE),
                                 IMessageService::Buttons::YesNoCancel)
        == IMessageService::Yes)
        m_document.RestoreOriginals();
}

void CMainFrame::runSettings()
{
    CAppSettings dialog(this);
    m_services.messages.RunDialog(dialog);
    CWaitCursor wait;
    if (dialog.LanguageChanged())
        Retranslate();
    m_document.UpdateAllViews(nullptr, -1);
}

void CMainFrame::showAbout()
{
    CAboutDlg dialog(this);
    m_services.messages.RunDialog(dialog);
}

void CMainFrame::openDocument(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        m_services.messages.Show(IMessageService::Icon::Warning, Res::FormatString(Res::IDS_HELP_NOT_FOUND, {path}));
        return;
    }
    // Not waited for: a viewer the opener runs in the foreground would hold the window.
    m_services.desktop.ShowFile(QFileInfo(path).absoluteFilePath(), this, [this, path](const QString &reason) {
        QString text = Res::FormatString(Res::IDS_CANNOT_OPEN_DOCUMENT, {path});
        if (!reason.isEmpty())
            text += u'\n' + reason;
        m_services.messages.Show(IMessageService::Icon::Warning, text);
    });
}

void CMainFrame::openHelp()
{
    const QString name = Res::LoadString(Res::IDS_HELP_FILE);
    if (name.isEmpty())
        return;
    const QString &folder = Settings::Current().pfad;
    openDocument(folder.isEmpty() ? name : folder + u'/' + name);
}

void CMainFrame::openUpgradeHelp()
{
    const QString name = Res::LoadString(Res::IDS_UPGRADE_HELP_FILE);
    const QString &folder = Settings::Current().pfad;
    openDocument(folder.isEmpty() ? name : folder + u'/' + name);
}

void CMainFrame::openWebSite()
{
    const QString address = Res::LoadString(Res::IDS_MAKER_WEBSITE);
    if (!m_services.desktop.OpenUrl(QUrl(address)))
        m_services.messages.Show(IMessageService::Icon::Warning,
                                 Res::FormatString(Res::IDS_CANNOT_OPEN_DOCUMENT, {address}));
}

void CMainFrame::checkForUpdatesCommand()
{
    if (!m_document.CloseProject())
        return;
    if (CheckForUpdates() && m_document.CloseProject())
        close();
}

bool CMainFrame::CheckForUpdates()
{
    return RunUpdateWizard({m_services.messages, m_services.desktop}, this);
}

// ---------------------------------------------------------------------------
// Command line, dropped files, closing

void CMainFrame::OpenFromCommandLine(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return;
    Guard::Run(m_services.messages, Guard::Origin::Handler, [&] { m_document.OpenProject(arguments.first(), false); });
    RefreshTitle();
    UpdateCommandStates();
}

void CMainFrame::DropFiles(const QStringList &paths)
{
    Guard::Run(m_services.messages, Guard::Origin::Handler, [&] {
        if (paths.isEmpty())
            return;
        if (paths.first().right(4).compare(u".qxs", Qt::CaseInsensitive) == 0) {
            m_document.OpenProject(paths.first(), false);
            return;
        }
        QStringList csv;
        for (const QString &path : paths)
            if (path.right(4).compare(u".csv", Qt::CaseInsensitive) == 0)
                csv << path;
        // Read first: a drop that brings nothing must not cost the project.
        bool reported = false;
        const QList<TVetraObject> objects = readCsvFiles(csv, &reported);
        if (objects.isEmpty()) {
            if (!reported)
                m_services.messages.Show(IMessageService::Icon::Information, Res::LoadString(Res::IDS_DROP_NO_OBJECTS));
            return;
        }
        if (m_document.CloseProject())
            m_document.AddObjects(objects, false, false);
    });
    RefreshTitle();
    UpdateCommandStates();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    // Not inside the drop: the source program waits until the drop returns.
    QMetaObject::invokeMethod(
        this, [this, paths] { DropFiles(paths); }, Qt::QueuedConnection);
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    bool mayClose = false;
    Guard::Run(m_services.messages, Guard::Origin::Handler, [&] { mayClose = m_document.CloseProject(); });
    if (mayClose)
        event->accept();
    else
        event->ignore();
    RefreshTitle();
    UpdateCommandStates();
}
