#!/usr/bin/python3
"""Writes the benchmark workbooks: .xls sheets of numbers and shared strings.

Run with Debian's Python and python3-xlwt (apt-get install python3-xlwt):

    /usr/bin/python3 bench/make_sheets.py OUTDIR [ROWS [COLUMNS]]

writes OUTDIR/sheet-ROWSxCOLUMNS.xls (65535 x 10 by default, about 12 MB): row 1
holds the labels "Column 1".."Column N"; below them, odd columns hold numbers
that need a full double (stored as NUMBER records) and even columns text
("text ROW", the same along a row: stored once in the shared-string table and
named by index). Nothing is random, so every run writes the same file.
"""

import os
import sys

import xlwt


def make_sheet(path, rows, columns):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Data")
    for c in range(columns):
        sheet.write(0, c, "Column %d" % (c + 1))
    for r in range(1, rows):
        row = sheet.row(r)
        for c in range(columns):
            if c % 2 == 0:
                row.set_cell_number(c, r * 1.25 + c / 3.0)
            else:
                row.set_cell_text(c, "text %d" % r)
        if r % 4096 == 0:
            sheet.flush_row_data()  # keeps xlwt's memory bounded
    book.save(path)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 65535
    columns = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    os.makedirs(out, exist_ok=True)
    path = os.path.join(out, "sheet-%dx%d.xls" % (rows, columns))
    make_sheet(path, rows, columns)
    print(path)


if __name__ == "__main__":
    main()
