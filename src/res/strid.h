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

    // Command-line tool
    IDS_CLI_USAGE                 = 30400,
    IDS_CLI_UNKNOWN_COMMAND       = 30401,
    IDS_CLI_BAD_OPTION            = 30402,
    IDS_CLI_MISSING_OUTPUT        = 30403,
    IDS_CLI_NO_INPUT              = 30404,
    IDS_CLI_UNSUPPORTED_INPUT     = 30405,
    IDS_CLI_UNSUPPORTED_OUTPUT    = 30406,
};

} // namespace Res
