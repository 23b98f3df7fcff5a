#pragma once
// The main window's commands as data: their numbers, the menu that shows
// them, when each is enabled, and the toolbar. The window builds its menu
// from these tables again after every language change.

#include "res/strid.h"

#include <QKeySequence>

#include <span>

namespace Commands {

enum Id : int {
    ID_PRINT = 102,
    ID_UPGRADE = 103,
    ID_HELP_UPGRADE = 104,
    ID_COPY = 105,
    ID_SETTINGS = 110,
    ID_SAVE_AS = 1040,
    ID_DELETE_ALL = 1044,
    ID_RESTORE = 1050,
    ID_DELETE = 1051,
    ID_DOWNLOAD = 1052,
    ID_SELECT_ALL = 1054,
    ID_CHECK_UPDATES = 1055,
    ID_EXPORT_GRAPHIC = 1070,
    ID_EXPORT_CSV = 1072,
    ID_PASTE = 1082,
    ID_OPEN_PROJECT = 1092,
    ID_ADD_PROJECT = 1101,
    ID_ADD_CSV = 1103,
    ID_OPEN_CSV = 1111,
    ID_ADD_DOWNLOAD = 1121,
    ID_EXPORT_PDF = 31610,
    ID_EXPORT_REPORT = 31670,
    ID_EXPORT_XLSX = 31672,
    ID_UNDO = 31641,
    ID_REDO = 31642,
    ID_CLOSE = 57602,
    ID_SAVE = 57603,
    ID_ABOUT = 57664,
    ID_EXIT = 57665,
    ID_HELP = 57670,
};

// When a command is available.
enum class Rule {
    Always,
    HasObjects,       // the project holds objects
    Modified,         // the project holds unsaved changes
    TableHasRows,     // the table reports objects
    TableCanCopy,     // the table reports a selection
    TableCanDelete,   // the table reports a selection
    CanPaste,         // the clipboard holds objects
    CanUndo,          // the project's history has a step to undo
    CanRedo,          // ... or to redo
};

struct SCommand
{
    Id id;
    Rule rule;
    QKeySequence::StandardKey key;   // QKeySequence::UnknownKey for none
    const char16_t *icon;            // bundled picture, or null
};

// A menu as a flat list: a popup opens a level, End closes it.
struct SMenuEntry
{
    // RecentList: the submenu of the projects used last, filled when it opens.
    enum Kind { Popup, Item, Separator, End, RecentList } kind;
    Res::StrId caption;   // popups and items
    int command;          // items
};

std::span<const SCommand> All();
const SCommand *Find(int id);
std::span<const SMenuEntry> MainMenu();
// The toolbar's buttons in order; 0 separates the groups.
std::span<const int> Toolbar();

// The two parts of a command's text: the status-bar prompt and the tooltip.
QString Prompt(int id);
QString Tooltip(int id);

}   // namespace Commands
