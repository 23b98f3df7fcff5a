#pragma once
// Numbered string resources. The numbers are part of the language-library
// format: a library supplies texts by these ids, so never renumber an entry.
// Ids below 30000 are the program's historical numbers; 30000 and up are ours.

namespace Res {

enum StrId : int {
    // Application shell
    IDS_APP_TITLE                 = 57344,   // "Vetradesk"
    IDS_REPORT_FATAL              = 28500,
    IDS_REPORT_ERROR              = 28501,
    IDS_REPORT_WARNING            = 28502,
    IDS_REPORT_INFORMATION        = 28503,
    IDS_REPORT_LOGFILE_PARAGRAPH  = 28551,
    IDS_COMMAND_FAILED            = 30100,
    IDS_INTERNAL_ERROR            = 30101,

    // Settings, language and start-up
    IDS_KEY_SETTINGS              = 145,
    IDS_KEY_UPGRADE_TOOL          = 150,
    IDS_VALUE_PFAD                = 151,
    IDS_VALUE_LANGUAGEFILE        = 152,
    IDS_VALUE_DATAFOLDER          = 153,
    IDS_VALUE_DTFORMAT            = 155,
    IDS_LANGUAGE_PATTERN          = 161,
    IDS_UPGRADE_HELP_FILE         = 162,
    IDS_UPGRADE_TOOL_FILE         = 163,
    IDS_REGISTRY_WRITE_FAILED     = 1000,
    IDS_FOLDER_INCORRECT          = 1002,
    IDS_FOLDER_READ_ONLY          = 1003,
    IDS_STARTUP_EXCEPTION         = 1004,
    IDS_CAPTION_ERROR             = 1005,
    IDS_DATETIME_PREVIEW          = 1015,
    IDS_DEFAULT_PFAD              = 1020,
    IDS_HELP_FILE                 = 1181,
    IDS_SETTINGS_DAMAGED          = 30900,

    // Instrument search
    IDS_SEARCH_SERIAL             = 20000,
    IDS_SEARCH_USB                = 20001,
    IDS_SEARCH_ETHERNET           = 20002,
    IDS_SEARCH_ON                 = 20003,
    IDS_SEARCH_CANNOT_OPEN        = 20004,
    IDS_SEARCH_NOT_FOUND          = 20006,
    IDS_SEARCH_FOUND              = 20007,
    IDS_SEARCH_CANNOT_OPEN_USB    = 20020,

    // Date and time pictures chosen by the DTFormat setting
    IDS_DATE_PATTERN_0            = 1022,
    IDS_DATE_PATTERN_1            = 1023,
    IDS_DATE_PATTERN_2            = 1024,
    IDS_DATE_PATTERN_3            = 1025,
    IDS_TIME_PATTERN_0            = 1030,
    IDS_TIME_PATTERN_1            = 1031,
    IDS_TIME_PATTERN_2            = 1032,
    IDS_TIME_PATTERN_3            = 1033,

    // Regional settings, units and storage modes as shown to the user
    IDS_REGIONAL_METRIC           = 30001,
    IDS_REGIONAL_ASTM_INCH        = 30002,
    IDS_REGIONAL_ASTM_MM          = 30003,
    IDS_REGIONAL_JAPANESE         = 30004,
    IDS_REGIONAL_UNKNOWN          = 30005,
    IDS_UNIT_MM                   = 30006,
    IDS_UNIT_INCH                 = 30007,
    IDS_STORAGE_MANUAL            = 30008,
    IDS_STORAGE_AUTO              = 30009,
    IDS_NOT_AVAILABLE             = 30010,

    // Object table column headers
    IDS_COL_OBJECT_NUMBER         = 30020,
    IDS_COL_NAME                  = 30021,
    IDS_COL_DATE_TIME             = 30022,
    IDS_COL_MIN_COVER             = 30023,
    IDS_COL_MAX_COVER             = 30024,
    IDS_COL_REGIONAL              = 30025,
    IDS_COL_TOTAL                 = 30026,
    IDS_COL_STORAGE_MODE          = 30027,

    // Data files
    IDS_ERR_DATE_OUT_OF_RANGE     = 30200,   // "%s: the date \"%s\" of object %d is out of range."
    IDS_ERR_DATE_OUT_OF_RANGE_NOFILE = 30204, // "The date \"%s\" of a measurement object is out of range."
    IDS_ERR_FILE_READ             = 30201,   // "%s: the file cannot be read: %s"
    IDS_ERR_FILE_WRITE            = 30202,   // "%s: the file cannot be written: %s"
    IDS_ERR_NO_OBJECTS            = 30203,   // "%s: no measurement object found."

    // CSV export
    IDS_EXPORT_PREPARING          = 30300,   // "Please wait while preparing for export..."
    IDS_EXPORT_CREATING           = 30301,   // "Creating %s ..."

    // Stream layer
    IDS_STREAM_FILE_NOT_FOUND     = 30500,
    IDS_STREAM_PATH_NOT_FOUND     = 30501,
    IDS_STREAM_ACCESS_DENIED      = 30502,
    IDS_STREAM_INVALID_HANDLE     = 30503,
    IDS_STREAM_OUT_OF_MEMORY      = 30504,
    IDS_STREAM_WRITE_FAULT        = 30505,
    IDS_STREAM_READ_FAULT         = 30506,
    IDS_STREAM_SHARING_VIOLATION  = 30507,
    IDS_STREAM_END_OF_DATA        = 30508,
    IDS_STREAM_NOT_SUPPORTED      = 30509,
    IDS_STREAM_FILE_EXISTS        = 30510,
    IDS_STREAM_DISK_FULL          = 30511,
    IDS_STREAM_TOO_LONG           = 30512,
    IDS_STREAM_INVALID_NAME       = 30513,
    IDS_STREAM_TIMEOUT            = 30514,
    IDS_STREAM_ERROR_CODE         = 30515,
    IDS_STREAM_ERROR_ON           = 30516,
    IDS_SERIAL_NO_SUCH_PORT       = 30520,
    IDS_SERIAL_PERMISSION         = 30521,
    IDS_SERIAL_BUSY               = 30522,
    IDS_SERIAL_OTHER              = 30523,
    IDS_SERIAL_NOT_A_PORT         = 30524,

    // Project document
    IDS_UNNAMED                   = 30600,
    IDS_SAVE_CHANGES              = 30601,
    IDS_PROJECT_READ_ERROR        = 30602,
    IDS_PROJECT_SAVE_FAILED       = 30603,
    IDS_PROJECT_FILTER            = 30604,
    IDS_SYNC_TITLE                = 30605,
    IDS_SYNC_ALREADY              = 30606,
    IDS_SYNC_QUESTION             = 30607,
    IDS_SYNC_ADD_ALL              = 30608,
    IDS_SYNC_ADD_NEW              = 30609,

    // Instrument layer
    IDS_DEVERR_GENERIC            = 30700,
    IDS_DEVERR_UPLOAD             = 30701,
    IDS_DEVERR_PROGRAM            = 30702,
    IDS_DEVERR_MODE               = 30703,
    IDS_DEVERR_COMMUNICATION      = 30704,
    IDS_DEVERR_FILE_READ          = 30705,
    IDS_DEVERR_PACKAGE_TYPE       = 30706,
    IDS_DEVERR_ABORTED            = 30707,
    IDS_DEVERR_HARDWARE           = 30708,
    IDS_DEVERR_NEWER_OS           = 30709,
    IDS_DEVERR_RESTART            = 30710,
    IDS_PORT_SERIAL               = 30711,
    IDS_PORT_USB                  = 30712,
    IDS_PORT_ETHERNET             = 30713,
    IDS_NO_REMOTE_LOGIN           = 30714,
    IDS_VETRA_INFO_TEXT           = 30715,
    IDS_UPGRADE_CHECKS            = 30720,
    IDS_UPGRADE_PREPARE           = 30721,
    IDS_UPGRADE_SET_MODE          = 30722,
    IDS_UPGRADE_UPLOAD            = 30723,
    IDS_UPGRADE_PROGRAM           = 30724,
    IDS_UPGRADE_FINISHED          = 30725,
    IDS_UPGRADE_ERASE             = 30726,

    // Main window commands
    IDS_DOWNLOAD_FAILED           = 30800,
    IDS_NO_OBJECTS_ON_INSTRUMENT  = 30801,
    IDS_DELETE_FAILED             = 30802,
    IDS_DELETE_SUCCEEDED          = 30803,

    // Command-line tool
    IDS_CLI_USAGE                 = 30400,
    IDS_CLI_UNKNOWN_COMMAND       = 30401,
    IDS_CLI_BAD_OPTION            = 30402,
    IDS_CLI_MISSING_OUTPUT        = 30403,
    IDS_CLI_NO_INPUT              = 30404,
    IDS_CLI_UNSUPPORTED_INPUT     = 30405,
    IDS_CLI_UNSUPPORTED_OUTPUT    = 30406,
    IDS_CLI_BAD_SORT_MODE         = 30407,
    IDS_CLI_EACH_NEEDS_CSV        = 30408,
    IDS_CLI_PORT_OR_SCAN          = 30409,
    IDS_CLI_NO_SIMULATOR          = 30410,
    IDS_CLI_NO_INSTRUMENT         = 30411,
    IDS_CLI_DELETE_NEEDS_YES      = 30412,
    IDS_CLI_NOTHING_ADDED         = 30413,
    IDS_CLI_DOWNLOADED            = 30414,
    IDS_CLI_PROGRESS              = 30415,
    IDS_CLI_SETTINGS_LINES        = 30416,
    IDS_CLI_USABLE                = 30417,
    IDS_CLI_NOT_USABLE            = 30418,
    IDS_CLI_ACTIVE                = 30419,
    IDS_CLI_BAD_FORMAT_INDEX      = 30420,
    IDS_CLI_NO_SUCH_LANGUAGE      = 30421,
};

} // namespace Res
