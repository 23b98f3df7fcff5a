#pragma once
// The inspection report: a first page with the project, the instruments, the
// time span and the assessment of all covers; a summary table of the objects;
// the histogram of the covers; then every object with its details as the
// printout draws them. Every page has the printout's header and footer bands,
// and all text stays text in a PDF.

#include "data/coverassessment.h"
#include "data/measurement.h"
#include "render/tablepicture.h"
#include "render/tableprint.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QString>
#include <QStringList>

#include <vector>

namespace Render {

struct SInspectionReport
{
    QString projectTitle;                    // the project file's name, or IDS_UNNAMED
    std::vector<const object_t *> objects;   // in the order of the report
    SAssessmentSettings settings;
    STableLook look;     // the object pages draw with it; the required cover is the settings'
    SPrintBands bands;   // header and footer as the printout has them
};

// Where the parts of a written report stand, pages counted from 1.
struct SReportPages
{
    int summaryFirst = 0;
    int summaryCount = 0;
    int histogram = 0;
    int objectsFirst = 0;   // 0 without objects
    int total = 0;
};

// The instruments the objects were measured with, one line each in the order
// they first appear: name, serial number (or that none was recorded), software
// and the number of objects. At most `limit` lines, the rest counted in one.
QStringList InstrumentLines(const std::vector<const object_t *> &objects, int limit = 6);

// Draws the report onto `device`, page after page. False (with the reason)
// when the painter or a page could not be started.
bool WriteInspectionReport(QPagedPaintDevice &device, const SInspectionReport &report, SReportPages *pages = nullptr,
                           QString *error = nullptr);

// Writes the report as a PDF on `paper` into a temporary file beside `path`
// that replaces `path` only when all went well; otherwise nothing changes and
// `error` tells why (the folder is missing or cannot be written, ...).
bool WriteInspectionReportPdf(const QString &path, const SInspectionReport &report, QPageSize::PageSizeId paper,
                              QString *error = nullptr, SReportPages *pages = nullptr);

}   // namespace Render
