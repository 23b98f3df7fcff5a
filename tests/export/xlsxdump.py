#!/usr/bin/python3
"""Prints a workbook as JSON for the tests to check: per sheet its name, the
frozen cell, the column widths and the cells as [type, value, number format],
type one of n (number), s (text), d (date and time, ISO), b, e (empty).

  xlsxdump.py FILE            every row, with panes and widths
  xlsxdump.py FILE --rows N   only the first N rows of each sheet, read as a
                              stream (for very large workbooks)
Exit 3 when openpyxl is missing, 4 when the file is no workbook."""

import datetime
import json
import sys

try:
    import openpyxl
    from openpyxl.utils import get_column_letter
except ImportError:
    sys.exit(3)


def cell(c):
    v = c.value
    fmt = c.number_format
    if v is None:
        return ["e", None, fmt]
    if isinstance(v, bool):
        return ["b", v, fmt]
    if isinstance(v, (datetime.datetime, datetime.date, datetime.time)):
        return ["d", v.isoformat(), fmt]
    if isinstance(v, (int, float)):
        return ["n", v, fmt]
    return ["s", str(v), fmt]


def main():
    path = sys.argv[1]
    rows = int(sys.argv[3]) if len(sys.argv) > 3 and sys.argv[2] == "--rows" else None
    try:
        book = openpyxl.load_workbook(path, read_only=rows is not None)
    except Exception as e:  # any reader failure means the file is no workbook
        print(str(e), file=sys.stderr)
        sys.exit(4)
    sheets = []
    for ws in book.worksheets:
        sheet = {"name": ws.title, "maxRow": ws.max_row, "maxColumn": ws.max_column}
        if rows is None:
            sheet["freeze"] = ws.freeze_panes
            sheet["widths"] = [ws.column_dimensions[get_column_letter(k)].width
                               if get_column_letter(k) in ws.column_dimensions else None
                               for k in range(1, ws.max_column + 1)]
            sheet["rows"] = [[cell(c) for c in r] for r in ws.iter_rows()]
        else:
            sheet["rows"] = [[cell(c) for c in r] for r in ws.iter_rows(max_row=rows)]
        sheets.append(sheet)
    json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=False)


main()
