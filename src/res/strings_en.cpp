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
    {IDS_DATE_PATTERN_0, u"MM/dd/yyyy"},
    {IDS_DATE_PATTERN_1, u"dd-MM-yyyy"},
    {IDS_DATE_PATTERN_2, u"dd/MM/yyyy"},
    {IDS_DATE_PATTERN_3, u"dd.MM.yyyy"},
    {IDS_TIME_PATTERN_0, u"h:mm tt"},
    {IDS_TIME_PATTERN_1, u"h:mmt"},
    {IDS_TIME_PATTERN_2, u"H:mm"},
    {IDS_TIME_PATTERN_3, u"HH:mm"},
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
                    u"  vetradesk-cli info [--json] FILE...\n"
                    u"  vetradesk-cli convert [--each] -o OUT.csv FILE...\n"},
    {IDS_CLI_UNKNOWN_COMMAND, u"unknown command \"%s\""},
    {IDS_CLI_BAD_OPTION, u"unknown or incomplete option \"%s\""},
    {IDS_CLI_MISSING_OUTPUT, u"the output file is missing (-o OUT)"},
    {IDS_CLI_NO_INPUT, u"no input file given"},
    {IDS_CLI_UNSUPPORTED_INPUT, u"%s: files of this kind cannot be read (expected .csv)"},
    {IDS_CLI_UNSUPPORTED_OUTPUT, u"%s: files of this kind cannot be written (expected .csv)"},
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
