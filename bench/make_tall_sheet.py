#!/usr/bin/python3
"""Writes the tallest numeric workbook Excel holds, for measuring memory and time.

    /usr/bin/python3 bench/make_tall_sheet.py OUTDIR [ROWS [COLUMNS]]

writes OUTDIR/tall-ROWSxCOLUMNS.xlsx (1,048,575 x 36 by default): every cell a
number that needs a full double, row 1 included (so every column is a node),
each cell with its reference, as Excel writes them. The sheet's XML is about
1.6 GB and deflates about 7:1, to some 230 MB: a real workbook, not a bomb,
which the zip's expansion budget must let through. Nothing is random, so every
run writes the same file. It takes a few minutes.
"""

import os
import sys
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
OFFICE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"


def column_name(column):
    name = ""
    column += 1
    while column:
        column, rest = divmod(column - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def relationships(rels):
    items = "".join('<Relationship Id="%s" Type="%s/%s" Target="%s"/>' % rel for rel in rels)
    return '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s">%s</Relationships>' % (
        PACKAGE, items)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1048575
    columns = int(sys.argv[3]) if len(sys.argv) > 3 else 36
    os.makedirs(out, exist_ok=True)
    path = os.path.join(out, "tall-%dx%d.xlsx" % (rows, columns))
    names = [column_name(c) for c in range(columns)]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        package.writestr("[Content_Types].xml",
                         '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.'
                         'openxmlformats.org/package/2006/content-types"><Default Extension='
                         '"rels" ContentType="application/vnd.openxmlformats-package.'
                         'relationships+xml"/><Default Extension="xml" ContentType='
                         '"application/xml"/></Types>')
        package.writestr("_rels/.rels", relationships([("rId1", OFFICE, "officeDocument",
                                                        "xl/workbook.xml")]))
        package.writestr("xl/workbook.xml",
                         '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Data" '
                         'sheetId="1" r:id="rId1"/></sheets></workbook>' % (MAIN, OFFICE))
        package.writestr("xl/_rels/workbook.xml.rels", relationships([
            ("rId1", OFFICE, "worksheet", "worksheets/sheet1.xml")]))
        with package.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as sheet:
            sheet.write(('<worksheet xmlns="%s"><sheetData>' % MAIN).encode())
            for r in range(1, rows + 1):
                cells = "".join('<c r="%s%d"><v>%r</v></c>' % (names[c], r, r * 1.25 + c / 3.0)
                                for c in range(columns))
                sheet.write(('<row r="%d">%s</row>' % (r, cells)).encode())
            sheet.write(b"</sheetData></worksheet>")
    print(path)


if __name__ == "__main__":
    main()
