#!/usr/bin/env python3
"""Writes a large .xlsx as a spreadsheet program's export would, for bench/big_xlsx.sh.

    bench/make_big_xlsx.py OUT.xlsx [ROWS]     (ROWS: 1000000 by default)

One worksheet of ROWS rows by 10 columns: row 1 holds the labels, every other row
an order: its number, a customer and a city (shared strings, a few hundred
distinct), a date (a serial in a date style), a quantity, a price and an amount
(decimals), a status (shared string), a paid flag (a boolean) and a note (a shared
string in one row of eight, else empty). Every row and cell carries its r
reference, as Excel writes them. The parts are written straight into the zip with
the standard library, deflated at zlib's default level; the sheet streams, so
memory stays small whatever ROWS is. The output is the same on every run.
"""
import random
import sys
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
DOC_RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
MC = "http://schemas.openxmlformats.org/markup-compatibility/2006"
X14AC = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac"
COLUMNS = "ABCDEFGHIJ"
LABELS = ["Order", "Customer", "City", "Date", "Quantity", "Price", "Amount", "Status",
          "Paid", "Note"]
CUSTOMERS = ["Customer %03d" % i for i in range(400)]
CITIES = ["London", "Paris", "Berlin", "Madrid", "Rome", "Lisbon", "Vienna", "Oslo",
          "Dublin", "Prague", "Warsaw", "Athens", "Zürich", "Kraków", "Göteborg", "Tōkyō"]
STATUSES = ["open", "shipped", "delivered", "returned", "cancelled"]
NOTES = ["call first", "fragile", "leave at the door", "gift & card", "<urgent>"]


def shared_strings():
    strings = LABELS + CUSTOMERS + CITIES + STATUSES + NOTES
    return strings, {text: index for index, text in enumerate(strings)}


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def rels(items):
    body = "".join('<Relationship Id="%s" Type="%s/%s" Target="%s"/>' % item for item in items)
    return '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n' \
           '<Relationships xmlns="%s">%s</Relationships>' % (PKG_RELS, body)


def row_xml(number, rng, index):
    """The <row> element of sheet row `number` (from 2)."""
    r = str(number)
    quantity = rng.randint(1, 500)
    price = rng.randint(100, 99999) / 100
    cells = [
        '<c r="A%s" s="3"><v>%d</v></c>' % (r, number - 1),
        '<c r="B%s" s="3" t="s"><v>%d</v></c>' % (r, index[rng.choice(CUSTOMERS)]),
        '<c r="C%s" s="3" t="s"><v>%d</v></c>' % (r, index[rng.choice(CITIES)]),
        '<c r="D%s" s="1"><v>%d</v></c>' % (r, 43831 + number % 1500),
        '<c r="E%s" s="3"><v>%d</v></c>' % (r, quantity),
        '<c r="F%s" s="2"><v>%s</v></c>' % (r, repr(price)),
        '<c r="G%s" s="2"><v>%s</v></c>' % (r, repr(quantity * price)),
        '<c r="H%s" s="3" t="s"><v>%d</v></c>' % (r, index[rng.choice(STATUSES)]),
        '<c r="I%s" s="3" t="b"><v>%d</v></c>' % (r, rng.random() < 0.7),
    ]
    if number % 8 == 0:
        cells.append('<c r="J%s" s="3" t="s"><v>%d</v></c>' % (r, index[rng.choice(NOTES)]))
    return '<row r="%s" spans="1:10" x14ac:dyDescent="0.25">%s</row>' % (r, "".join(cells))


def write_sheet(out, rows, index):
    rng = random.Random(20240518)
    out.write(('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
               '<worksheet xmlns="%s" xmlns:r="%s" xmlns:mc="%s" mc:Ignorable="x14ac" '
               'xmlns:x14ac="%s"><dimension ref="A1:J%d"/>'
               '<sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews>'
               '<sheetFormatPr defaultRowHeight="15" x14ac:dyDescent="0.25"/><sheetData>' %
               (MAIN, DOC_RELS, MC, X14AC, rows))
              .encode())
    labels = "".join('<c r="%s1" t="s"><v>%d</v></c>' % (COLUMNS[i], i) for i in range(10))
    out.write(('<row r="1" spans="1:10">%s</row>' % labels).encode())
    batch = []
    for number in range(2, rows + 1):
        batch.append(row_xml(number, rng, index))
        if len(batch) == 2000:
            out.write("".join(batch).encode())
            batch.clear()
    out.write("".join(batch).encode())
    out.write(b'</sheetData><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" '
              b'header="0.3" footer="0.3"/></worksheet>')


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    path = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) == 3 else 1000000
    strings, index = shared_strings()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as book:
        book.writestr("[Content_Types].xml", (
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Types xmlns='
            '"http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType='
            '"application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>'
            '<Override PartName="/xl/workbook.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
            '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
            '<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
            '<Override PartName="/xl/styles.xml" ContentType="application/'
            'vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>'))
        book.writestr("_rels/.rels", rels([("rId1", DOC_RELS, "officeDocument",
                                            "xl/workbook.xml")]))
        book.writestr("xl/workbook.xml", (
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<workbook xmlns="%s" xmlns:r="%s"><bookViews><workbookView activeTab="0"/>'
            '</bookViews><sheets><sheet name="Orders" sheetId="1" r:id="rId1"/></sheets>'
            '</workbook>' % (MAIN, DOC_RELS)))
        book.writestr("xl/_rels/workbook.xml.rels", rels([
            ("rId1", DOC_RELS, "worksheet", "worksheets/sheet1.xml"),
            ("rId2", DOC_RELS, "sharedStrings", "sharedStrings.xml"),
            ("rId3", DOC_RELS, "styles", "styles.xml")]))
        book.writestr("xl/styles.xml", (
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<styleSheet xmlns="%s">'
            '<numFmts count="1"><numFmt numFmtId="164" formatCode="yyyy\\-mm\\-dd"/></numFmts>'
            '<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
            '<fills count="1"><fill><patternFill patternType="none"/></fill></fills>'
            '<borders count="1"><border/></borders>'
            '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>'
            '</cellStyleXfs><cellXfs count="4">'
            '<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
            '<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" '
            'applyNumberFormat="1"/>'
            '<xf numFmtId="4" fontId="0" fillId="0" borderId="0" xfId="0" '
            'applyNumberFormat="1"/>'
            '<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"/>'
            '</cellXfs></styleSheet>' % MAIN))
        book.writestr("xl/sharedStrings.xml", (
            '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<sst xmlns="%s" count="%d" uniqueCount="%d">%s</sst>' %
            (MAIN, len(strings), len(strings),
             "".join("<si><t>%s</t></si>" % escape(text) for text in strings))))
        with book.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as sheet:
            write_sheet(sheet, rows, index)


if __name__ == "__main__":
    main()
