#include "shell/commands.h"

#include "res/resources.h"

#include <algorithm>

namespace Commands {
namespace {

using K = QKeySequence;

constexpr SCommand kCommands[] = {
    {ID_OPEN_PROJECT, Rule::Always, K::Open, u"open"},
    {ID_OPEN_CSV, Rule::Always, K::UnknownKey, nullptr},
    {ID_DOWNLOAD, Rule::Always, K::UnknownKey, u"download"},
    {ID_ADD_PROJECT, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_ADD_CSV, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_ADD_DOWNLOAD, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_CLOSE, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_SAVE, Rule::Modified, K::Save, u"save"},
    {ID_SAVE_AS, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_EXPORT_CSV, Rule::HasObjects, K::UnknownKey, u"exportcsv"},
    {ID_EXPORT_GRAPHIC, Rule::HasObjects, K::UnknownKey, u"exportgraphic"},
    {ID_EXPORT_PDF, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_EXPORT_REPORT, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_EXPORT_XLSX, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_PRINT, Rule::HasObjects, K::Print, u"print"},
    {ID_RESTORE, Rule::HasObjects, K::UnknownKey, nullptr},
    {ID_SETTINGS, Rule::Always, K::UnknownKey, nullptr},
    {ID_EXIT, Rule::Always, K::Quit, nullptr},
    {ID_DELETE_ALL, Rule::Always, K::UnknownKey, nullptr},
    {ID_UPGRADE, Rule::Always, K::UnknownKey, u"upgrade"},
    {ID_UNDO, Rule::CanUndo, K::Undo, nullptr},
    {ID_REDO, Rule::CanRedo, K::Redo, nullptr},
    {ID_SELECT_ALL, Rule::TableHasRows, K::SelectAll, nullptr},
    {ID_COPY, Rule::TableCanCopy, K::Copy, nullptr},
    {ID_PASTE, Rule::CanPaste, K::Paste, nullptr},
    {ID_DELETE, Rule::TableCanDelete, K::Delete, nullptr},
    {ID_CHECK_UPDATES, Rule::Always, K::UnknownKey, nullptr},
    {ID_HELP, Rule::Always, K::HelpContents, u"help"},
    {ID_HELP_UPGRADE, Rule::Always, K::UnknownKey, nullptr},
    {ID_ABOUT, Rule::Always, K::UnknownKey, nullptr},
};

// The menu's nesting shows in the indent.
// clang-format off
using M = SMenuEntry;
constexpr SMenuEntry kMenu[] = {
    {M::Popup, Res::IDS_MENU_FILE, 0},
      {M::Popup, Res::IDS_MENU_OPEN, 0},
        {M::Item, Res::IDS_MENU_PROJECT, ID_OPEN_PROJECT},
        {M::Item, Res::IDS_MENU_CSV_FILES, ID_OPEN_CSV},
        {M::Item, Res::IDS_MENU_ON_INSTRUMENT, ID_DOWNLOAD},
      {M::End, Res::StrId(0), 0},
      {M::Popup, Res::IDS_MENU_ADD, 0},
        {M::Item, Res::IDS_MENU_PROJECT, ID_ADD_PROJECT},
        {M::Item, Res::IDS_MENU_CSV_FILES, ID_ADD_CSV},
        {M::Item, Res::IDS_MENU_ON_INSTRUMENT, ID_ADD_DOWNLOAD},
      {M::End, Res::StrId(0), 0},
      {M::RecentList, Res::IDS_MENU_RECENT, 0},
      {M::Item, Res::IDS_MENU_CLOSE, ID_CLOSE},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_SAVE, ID_SAVE},
      {M::Item, Res::IDS_MENU_SAVE_AS, ID_SAVE_AS},
      {M::Separator, Res::StrId(0), 0},
      {M::Popup, Res::IDS_MENU_EXPORT, 0},
        {M::Item, Res::IDS_MENU_EXPORT_CSV, ID_EXPORT_CSV},
        {M::Item, Res::IDS_MENU_EXPORT_GRAPHIC, ID_EXPORT_GRAPHIC},
        {M::Item, Res::IDS_MENU_EXPORT_PDF, ID_EXPORT_PDF},
        {M::Item, Res::IDS_MENU_EXPORT_REPORT, ID_EXPORT_REPORT},
        {M::Item, Res::IDS_MENU_EXPORT_XLSX, ID_EXPORT_XLSX},
      {M::End, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_PRINT, ID_PRINT},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_RESTORE, ID_RESTORE},
      {M::Item, Res::IDS_MENU_SETTINGS, ID_SETTINGS},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_EXIT, ID_EXIT},
    {M::End, Res::StrId(0), 0},
    {M::Popup, Res::IDS_MENU_DEVICE, 0},
      {M::Item, Res::IDS_MENU_DOWNLOAD, ID_DOWNLOAD},
      {M::Item, Res::IDS_MENU_DELETE_ALL, ID_DELETE_ALL},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_UPGRADE, ID_UPGRADE},
    {M::End, Res::StrId(0), 0},
    {M::Popup, Res::IDS_MENU_EDIT, 0},
      {M::Item, Res::IDS_MENU_UNDO, ID_UNDO},
      {M::Item, Res::IDS_MENU_REDO, ID_REDO},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_SELECT_ALL, ID_SELECT_ALL},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_COPY, ID_COPY},
      {M::Item, Res::IDS_MENU_PASTE, ID_PASTE},
      {M::Item, Res::IDS_MENU_DELETE, ID_DELETE},
    {M::End, Res::StrId(0), 0},
    {M::Popup, Res::IDS_MENU_HELP, 0},
      {M::Item, Res::IDS_MENU_CHECK_UPDATES, ID_CHECK_UPDATES},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_HELP_VETRADESK, ID_HELP},
      {M::Item, Res::IDS_MENU_HELP_UPGRADE, ID_HELP_UPGRADE},
      {M::Separator, Res::StrId(0), 0},
      {M::Item, Res::IDS_MENU_ABOUT, ID_ABOUT},
    {M::End, Res::StrId(0), 0},
};

constexpr int kToolbar[] = {
    ID_DOWNLOAD, ID_UPGRADE, 0,
    ID_OPEN_PROJECT, ID_SAVE, 0,
    ID_EXPORT_CSV, ID_EXPORT_GRAPHIC, ID_PRINT, 0,
    ID_HELP,
};
// clang-format on

}   // namespace

std::span<const SCommand> All()
{
    return kCommands;
}

const SCommand *Find(int id)
{
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [id](const SCommand &c) { return c.id == id; });
    return it == std::end(kCommands) ? nullptr : it;
}

std::span<const SMenuEntry> MainMenu()
{
    return kMenu;
}

std::span<const int> Toolbar()
{
    return kToolbar;
}

// The command's text is "prompt\ntooltip" under the command's own number.
QString Prompt(int id)
{
    return Res::LoadString(id).section(u'\n', 0, 0);
}

QString Tooltip(int id)
{
    const QString text = Res::LoadString(id);
    return text.contains(u'\n') ? text.section(u'\n', 1) : text;
}

}   // namespace Commands
