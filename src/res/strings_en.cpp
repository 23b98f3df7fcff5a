// The built-in English string table. Entries are kept in ascending id order
// (a test checks it) so that lookup is a binary search.
#include "res/resources.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace Res {
namespace {

struct Entry
{
    int id;
    const char16_t *text;
};

constexpr Entry kTable[] = {
    {IDS_KEY_SETTINGS, u"Software\\Quelix\\Vetradesk\\Settings"},
    {IDS_KEY_UPGRADE_TOOL, u"Software\\Quelix\\QxUpgrade\\Settings"},
    {IDS_VALUE_PFAD, u"Pfad"},
    {IDS_VALUE_LANGUAGEFILE, u"LanguageFile"},
    {IDS_VALUE_DATAFOLDER, u"DataFolder"},
    {IDS_VALUE_DTFORMAT, u"DTFormat"},
    {IDS_LANGUAGE_PATTERN, u"Vetradesk_*.dll"},
    {IDS_UPGRADE_HELP_FILE, u"QxUpgrade.chm"},
    {IDS_UPGRADE_TOOL_FILE, u"QxUpgrade.exe"},
    {IDS_REGISTRY_WRITE_FAILED, u"The registry entry could not be written."},
    {IDS_FOLDER_INCORRECT, u"The folder for saving the files is incorrect.\nPlease change the menu Edit, Setup, before you start the upgrade."},
    {IDS_FOLDER_READ_ONLY, u"You don't have write permission for the folder in which the files should be stored.\nPlease change in the menu Edit, Setup, before you start the upgrade."},
    {IDS_STARTUP_EXCEPTION, u"An unhandled MFC exception occured"},
    {IDS_CAPTION_ERROR, u"Vetradesk Error"},
    {IDS_DATETIME_PREVIEW, u"Date/Time format:"},
    {IDS_DEFAULT_PFAD, u"/tmp"},
    {IDS_DATE_PATTERN_0, u"MM/dd/yyyy"},
    {IDS_DATE_PATTERN_1, u"dd-MM-yyyy"},
    {IDS_DATE_PATTERN_2, u"dd/MM/yyyy"},
    {IDS_DATE_PATTERN_3, u"dd.MM.yyyy"},
    {IDS_TIME_PATTERN_0, u"h:mm tt"},
    {IDS_TIME_PATTERN_1, u"h:mmt"},
    {IDS_TIME_PATTERN_2, u"H:mm"},
    {IDS_TIME_PATTERN_3, u"HH:mm"},
    {IDS_HELP_FILE, u"VETRADESK_ENU.pdf"},
    {IDS_SEARCH_SERIAL, u"Serial"},
    {IDS_SEARCH_USB, u"USB"},
    {IDS_SEARCH_ETHERNET, u"Ethernet"},
    {IDS_SEARCH_ON, u"Search %s device on %s..."},
    {IDS_SEARCH_CANNOT_OPEN, u"could not open port."},
    {IDS_SEARCH_NOT_FOUND, u"No device of the required type found."},
    {IDS_SEARCH_FOUND, u" %s   Serial: %s"},
    {IDS_SEARCH_CANNOT_OPEN_USB, u"could not open USB device."},
    {IDS_REPORT_FATAL, u"Fatal Error"},
    {IDS_REPORT_ERROR, u"Error"},
    {IDS_REPORT_WARNING, u"Warning"},
    {IDS_REPORT_INFORMATION, u"Information"},
    {IDS_REPORT_LOGFILE_PARAGRAPH,
     u"\r\n\r\nPlease send the log file to Quelix and describe the error.\r\n"
     u"Thank you for helping us improve our Software."},
    {IDS_REGIONAL_METRIC, u"Metric"},
    {IDS_REGIONAL_ASTM_INCH, u"ASTM inch"},
    {IDS_REGIONAL_ASTM_MM, u"ASTM mm"},
    {IDS_REGIONAL_JAPANESE, u"Japanese"},
    {IDS_REGIONAL_UNKNOWN, u"Unknown regional setting"},
    {IDS_UNIT_MM, u"mm"},
    {IDS_UNIT_INCH, u"inch"},
    {IDS_STORAGE_MANUAL, u"manual"},
    {IDS_STORAGE_AUTO, u"auto"},
    {IDS_NOT_AVAILABLE, u"n/a"},
    {IDS_COL_OBJECT_NUMBER, u"Object number"},
    {IDS_COL_NAME, u"Name"},
    {IDS_COL_DATE_TIME, u"Date & Time"},
    {IDS_COL_MIN_COVER, u"Minimum cover"},
    {IDS_COL_MAX_COVER, u"Maximum cover"},
    {IDS_COL_REGIONAL, u"Regional setting"},
    {IDS_COL_TOTAL, u"Total"},
    {IDS_COL_STORAGE_MODE, u"Data storage mode"},
    {IDS_COMMAND_FAILED, u"Command failed."},
    {IDS_INTERNAL_ERROR, u"Internal application error."},
    {IDS_ERR_DATE_OUT_OF_RANGE, u"%s: the date \"%s\" of object %d is out of range."},
    {IDS_ERR_FILE_READ, u"%s: the file cannot be read: %s"},
    {IDS_ERR_FILE_WRITE, u"%s: the file cannot be written: %s"},
    {IDS_ERR_NO_OBJECTS, u"%s: no measurement object found."},
    {IDS_ERR_DATE_OUT_OF_RANGE_NOFILE, u"The date \"%s\" of a measurement object is out of range."},
    {IDS_EXPORT_PREPARING, u"Please wait while preparing for export..."},
    {IDS_EXPORT_CREATING, u"Creating %s ..."},
    {IDS_CLI_USAGE, u"Usage:\n"
                    u"  vetradesk-cli info [--json] [--originals] FILE...\n"
                    u"  vetradesk-cli convert [--each] -o OUT.csv|OUT.qxs FILE...\n"
                    u"  vetradesk-cli sort --mode N PROJECT.qxs\n"
                    u"  vetradesk-cli search (--port N | --scan [--all]) [--simulate[=FILE.csv]]\n"
                    u"  vetradesk-cli download (--port N | --scan) -o OUT.csv|OUT.qxs [--add] [--sync new|all|cancel] [--text]\n"
                    u"  vetradesk-cli delete-all (--port N | --scan) --yes\n"
                    u"  vetradesk-cli languages\n"
                    u"  vetradesk-cli settings [--date-format 0-3] [--time-format 0-3] [--language NAME]\n"
                    u"FILE is a data file (.csv) or a project file (.qxs). --simulate on an instrument\n"
                    u"command starts a simulated instrument on COM1 (with the objects of FILE.csv).\n"},
    {IDS_CLI_UNKNOWN_COMMAND, u"unknown command \"%s\""},
    {IDS_CLI_BAD_OPTION, u"unknown or incomplete option \"%s\""},
    {IDS_CLI_MISSING_OUTPUT, u"the output file is missing (-o OUT)"},
    {IDS_CLI_NO_INPUT, u"no input file given"},
    {IDS_CLI_UNSUPPORTED_INPUT, u"%s: files of this kind cannot be read (expected .csv or .qxs)"},
    {IDS_CLI_UNSUPPORTED_OUTPUT, u"%s: files of this kind cannot be written (expected .csv or .qxs)"},
    {IDS_CLI_BAD_SORT_MODE, u"the sort mode must be a number from 1 to 16"},
    {IDS_CLI_EACH_NEEDS_CSV, u"--each writes data files: the output must end in .csv"},
    {IDS_CLI_PORT_OR_SCAN, u"give the instrument's port with --port N (1..256), or --scan (with --all to list every instrument), or --simulate"},
    {IDS_CLI_NO_SIMULATOR, u"the simulated instrument cannot start (no pseudo-terminal)"},
    {IDS_CLI_NO_INSTRUMENT, u"no Vetrameter found"},
    {IDS_CLI_DELETE_NEEDS_YES, u"delete-all deletes every object on the instrument: confirm with --yes"},
    {IDS_CLI_NOTHING_ADDED, u"Nothing was added."},
    {IDS_CLI_DOWNLOADED, u"%d objects downloaded."},
    {IDS_CLI_PROGRESS, u"\rDownloading... %3d%%"},
    {IDS_CLI_SETTINGS_LINES, u"Settings file:\t%s\nLanguageFile:\t%s (%s)\nDTFormat:\t%u (date %s, time %s)\nPfad:\t%s\nDataFolder:\t%s\n"},
    {IDS_CLI_USABLE, u"usable"},
    {IDS_CLI_NOT_USABLE, u"not usable (other version)"},
    {IDS_CLI_ACTIVE, u"active"},
    {IDS_CLI_BAD_FORMAT_INDEX, u"the date and time formats are numbered 0 to 3"},
    {IDS_CLI_NO_SUCH_LANGUAGE, u"there is no usable language \"%s\"; there are: %s"},
    {IDS_STREAM_FILE_NOT_FOUND, u"The file or device does not exist."},
    {IDS_STREAM_PATH_NOT_FOUND, u"The folder does not exist."},
    {IDS_STREAM_ACCESS_DENIED, u"Access is denied."},
    {IDS_STREAM_INVALID_HANDLE, u"The stream is not open."},
    {IDS_STREAM_OUT_OF_MEMORY, u"There is not enough memory."},
    {IDS_STREAM_WRITE_FAULT, u"The data could not be written."},
    {IDS_STREAM_READ_FAULT, u"The data could not be read."},
    {IDS_STREAM_SHARING_VIOLATION, u"The file is in use by another program or stream."},
    {IDS_STREAM_END_OF_DATA, u"The data ended unexpectedly."},
    {IDS_STREAM_NOT_SUPPORTED, u"The operation is not supported by this device."},
    {IDS_STREAM_FILE_EXISTS, u"The file already exists."},
    {IDS_STREAM_DISK_FULL, u"The disk is full."},
    {IDS_STREAM_TOO_LONG, u"The data is too long."},
    {IDS_STREAM_INVALID_NAME, u"The name is not valid."},
    {IDS_STREAM_TIMEOUT, u"The device did not answer in time."},
    {IDS_STREAM_ERROR_CODE, u"Stream error %u."},
    {IDS_STREAM_ERROR_ON, u"%s: %s"},
    {IDS_SERIAL_NO_SUCH_PORT, u"There is no serial port %s. Check the cable, or map the port with VETRADESK_PORTMAP."},
    {IDS_SERIAL_PERMISSION, u"Permission denied for serial port %s. Add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again."},
    {IDS_SERIAL_BUSY, u"Serial port %s is in use by another program."},
    {IDS_SERIAL_OTHER, u"Serial port %s could not be opened: %s"},
    {IDS_SERIAL_NOT_A_PORT, u"The device of %s is not a serial port."},
    {IDS_UNNAMED, u"Unnamed"},
    {IDS_SAVE_CHANGES, u"Would you like to save changes in your Project?"},
    {IDS_PROJECT_READ_ERROR, u"This is not a Vetradesk project file or there was an error while reading."},
    {IDS_PROJECT_SAVE_FAILED, u"The project could not be saved as %s.\n%s"},
    {IDS_PROJECT_FILTER, u"VETRADESK Project (*.qxs)|*.qxs|All Files (*.*)|*.*||"},
    {IDS_SYNC_TITLE, u"Synchronize objects"},
    {IDS_SYNC_ALREADY, u"%d objects of %d are already downloaded."},
    {IDS_SYNC_QUESTION, u"What would you like to do?"},
    {IDS_SYNC_ADD_ALL, u"Add all objects (%d)"},
    {IDS_SYNC_ADD_NEW, u"Add new objects only (%d)"},
    {IDS_DEVERR_GENERIC, u"An error (%d) occurred during the device Upgrade."},
    {IDS_DEVERR_UPLOAD, u"An error occurred during data upload process."},
    {IDS_DEVERR_PROGRAM, u"An error occurred during device program.\r\nIf the device says everything went well, ignore this error and restart the device manually. Else:"},
    {IDS_DEVERR_MODE, u"An error occurred during device operation mode change.\r\nIf the device says everything went well, ignore this error and restart the device manually. Else:"},
    {IDS_DEVERR_COMMUNICATION, u"A communication error occurred during the device Upgrade."},
    {IDS_DEVERR_FILE_READ, u"An error occurred during file read."},
    {IDS_DEVERR_PACKAGE_TYPE, u"The upgrade packet does not match the devicetype."},
    {IDS_DEVERR_ABORTED, u"The process was aborted by the user."},
    {IDS_DEVERR_HARDWARE, u"The upgrade packet does not support this Hardware (Hardware Revision)."},
    {IDS_DEVERR_NEWER_OS, u"The upgrade packet needs a newer OS Version than the one in your device."},
    {IDS_DEVERR_RESTART, u"\r\nPlease restart the device and this Application and retry the Upgrade.\r\nIn case the error persists, contact a Quelix service centre."},
    {IDS_PORT_SERIAL, u"Serial"},
    {IDS_PORT_USB, u"USB"},
    {IDS_PORT_ETHERNET, u"Ethernet"},
    {IDS_NO_REMOTE_LOGIN, u"No remote login implemented."},
    {IDS_VETRA_INFO_TEXT, u"Device type:\t%s\r\nSerial number:\t%s\r\nFirmware Version:\t%s\r\nHardware revision:\t%s\r\nSignature:\t%s"},
    {IDS_UPGRADE_CHECKS, u"Perform some device checks."},
    {IDS_UPGRADE_PREPARE, u"Do device specific initializations."},
    {IDS_UPGRADE_SET_MODE, u"Set the device into the appropriate operation mode."},
    {IDS_UPGRADE_UPLOAD, u"Transfer datablock to the device."},
    {IDS_UPGRADE_PROGRAM, u"Write datablock."},
    {IDS_UPGRADE_FINISHED, u"Finished the device upgrade successfully."},
    {IDS_UPGRADE_ERASE, u"Erase Memory"},
    {IDS_DOWNLOAD_FAILED, u"The download of objects from Vetrameter failed!"},
    {IDS_NO_OBJECTS_ON_INSTRUMENT, u"No measurement objects found on Vetrameter!"},
    {IDS_DELETE_FAILED, u"Delete all data on device failed!"},
    {IDS_DELETE_SUCCEEDED, u"Delete all data on Vetrameter succeeded."},
    {IDS_SETTINGS_DAMAGED, u"The settings file %s cannot be read (%s). Vetradesk starts with the default settings; the file is kept as %s.damaged when settings are saved."},
    {IDS_APP_TITLE, u"Vetradesk"},
};

} // namespace

QString BuiltinString(int id)
{
    const auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                                     [](const Entry &e, int v) { return e.id < v; });
    if (it == std::end(kTable) || it->id != id)
        return {};
    return QString::fromUtf16(it->text);
}

const int *BuiltinIds(int *count)
{
    static const auto ids = [] {
        std::array<int, std::size(kTable)> a{};
        for (std::size_t i = 0; i < a.size(); ++i)
            a[i] = kTable[i].id;
        return a;
    }();
    if (count)
        *count = int(ids.size());
    return ids.data();
}

} // namespace Res
