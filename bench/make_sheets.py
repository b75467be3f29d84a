#!/usr/bin/python3
"""Writes the benchmark workbooks: one sheet of numbers and shared strings.

Run with Debian's Python (python3-xlwt for .xls: apt-get install python3-xlwt):

    /usr/bin/python3 bench/make_sheets.py OUTDIR [ROWS [COLUMNS [FORMATS]]]

writes OUTDIR/sheet-ROWSxCOLUMNS.FORMAT for each of FORMATS, a comma-separated
list of xls, xlsx, xlsb, ods, xml (XML Spreadsheet 2003), html and csv (xls alone
by default; 65535 x 10 by default, about 12 MB as .xls): row 1 holds the labels
"Column 1".."Column N"; below them, odd columns hold numbers that need a full
double (NUMBER records in .xls, their shortest exact digits in the XML formats,
the text the document shows them as in HTML and CSV, whose cells are text) and
even columns text ("text ROW", the same along a row: stored once in the
shared-string table and named by index where the format has one). Every format
holds the same cells, so each converts to the same document. Nothing is random,
so every run writes the same files.
"""

import os
import struct
import sys
import zipfile


def number(row, column):
    return row * 1.25 + column / 3.0


def label(column):
    return "Column %d" % (column + 1)


def text(row):
    return "text %d" % row


def make_xls(path, rows, columns):
    import xlwt

    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Data")
    for c in range(columns):
        sheet.write(0, c, label(c))
    for r in range(1, rows):
        row = sheet.row(r)
        for c in range(columns):
            if c % 2 == 0:
                row.set_cell_number(c, number(r, c))
            else:
                row.set_cell_text(c, text(r))
        if r % 4096 == 0:
            sheet.flush_row_data()  # keeps xlwt's memory bounded
    book.save(path)


def column_name(column):
    name = ""
    column += 1
    while column:
        column, rest = divmod(column - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def shared_strings(rows, columns):
    """The table of shared strings and a function naming a text cell's index."""
    strings = [label(c) for c in range(columns)] + [text(r) for r in range(1, rows)]
    return strings, lambda r, c: c if r == 0 else columns + r - 1


def escape(value):
    return value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
OFFICE = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"


def relationships(rels):
    items = "".join('<Relationship Id="%s" Type="%s/%s" Target="%s"/>' % rel for rel in rels)
    return '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="%s">%s</Relationships>' % (
        PACKAGE, items)


def content_types(main_type, extension):
    return ('<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/'
            'package/2006/content-types"><Default Extension="rels" ContentType="application/'
            'vnd.openxmlformats-package.relationships+xml"/><Default Extension="%s" ContentType='
            '"%s"/></Types>' % (extension, main_type))


def make_xlsx(path, rows, columns):
    strings, index = shared_strings(rows, columns)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        package.writestr("[Content_Types].xml", content_types("application/xml", "xml"))
        package.writestr("_rels/.rels", relationships([("rId1", OFFICE, "officeDocument",
                                                        "xl/workbook.xml")]))
        package.writestr("xl/workbook.xml",
                         '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Data" '
                         'sheetId="1" r:id="rId1"/></sheets></workbook>' % (MAIN, OFFICE))
        package.writestr("xl/_rels/workbook.xml.rels", relationships([
            ("rId1", OFFICE, "worksheet", "worksheets/sheet1.xml"),
            ("rId2", OFFICE, "sharedStrings", "sharedStrings.xml")]))
        package.writestr("xl/sharedStrings.xml", '<sst xmlns="%s">%s</sst>' % (
            MAIN, "".join("<si><t>%s</t></si>" % escape(s) for s in strings)))
        with package.open("xl/worksheets/sheet1.xml", "w") as sheet:
            sheet.write(('<worksheet xmlns="%s"><sheetData>' % MAIN).encode())
            for r in range(rows):
                cells = []
                for c in range(columns):
                    ref = "%s%d" % (column_name(c), r + 1)
                    if r > 0 and c % 2 == 0:
                        cells.append('<c r="%s"><v>%r</v></c>' % (ref, number(r, c)))
                    else:
                        cells.append('<c r="%s" t="s"><v>%d</v></c>' % (ref, index(r, c)))
                sheet.write(('<row r="%d">%s</row>' % (r + 1, "".join(cells))).encode())
            sheet.write(b"</sheetData></worksheet>")


def record(kind, body=b""):
    """An .xlsb record: its type and size in 7-bit groups, then its body."""
    head = bytes([kind & 0x7F | (0x80 if kind > 0x7F else 0)])
    if kind > 0x7F:
        head += bytes([kind >> 7])
    size = len(body)
    while True:
        head += bytes([size & 0x7F | (0x80 if size > 0x7F else 0)])
        size >>= 7
        if size == 0:
            return head + body


def wide(value):
    units = value.encode("utf-16-le")
    return struct.pack("<I", len(units) // 2) + units


def make_xlsb(path, rows, columns):
    strings, index = shared_strings(rows, columns)
    book = (record(131) + record(153, struct.pack("<II", 0, 0) + wide("")) + record(135) +
            record(158, struct.pack("<6IIB", 0, 0, 0, 0, 0, 0, 0, 0x78)) + record(136) +
            record(143) + record(156, struct.pack("<II", 0, 1) + wide("rId1") + wide("Data")) +
            record(144) + record(132))
    sst = record(159, struct.pack("<II", len(strings), len(strings)))
    sst += b"".join(record(19, b"\0" + wide(s)) for s in strings) + record(160)
    binary = "application/vnd.ms-excel.sheet.binary.macroEnabled.main"
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        package.writestr("[Content_Types].xml", content_types(binary, "bin"))
        package.writestr("_rels/.rels", relationships([("rId1", OFFICE, "officeDocument",
                                                        "xl/workbook.bin")]))
        package.writestr("xl/workbook.bin", book)
        package.writestr("xl/_rels/workbook.bin.rels", relationships([
            ("rId1", OFFICE, "worksheet", "worksheets/sheet1.bin"),
            ("rId2", OFFICE, "sharedStrings", "sharedStrings.bin")]))
        package.writestr("xl/sharedStrings.bin", sst)
        with package.open("xl/worksheets/sheet1.bin", "w") as sheet:
            sheet.write(record(129) + record(145))
            for r in range(rows):
                cells = [record(0, struct.pack("<IIHHBI", r, 0, 300, 0, 0, 0))]
                for c in range(columns):
                    if r > 0 and c % 2 == 0:
                        cells.append(record(5, struct.pack("<IId", c, 0, number(r, c))))
                    else:
                        cells.append(record(7, struct.pack("<III", c, 0, index(r, c))))
                sheet.write(b"".join(cells))
            sheet.write(record(146) + record(130))


def make_ods(path, rows, columns):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        package.writestr(zipfile.ZipInfo("mimetype"),
                         "application/vnd.oasis.opendocument.spreadsheet",
                         compress_type=zipfile.ZIP_STORED)
        package.writestr("META-INF/manifest.xml",
                         '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:'
                         'xmlns:manifest:1.0" manifest:version="1.2"><manifest:file-entry '
                         'manifest:full-path="/" manifest:media-type="application/vnd.oasis.'
                         'opendocument.spreadsheet"/><manifest:file-entry manifest:full-path='
                         '"content.xml" manifest:media-type="text/xml"/></manifest:manifest>')
        with package.open("content.xml", "w") as content:
            content.write(b'<office:document-content xmlns:office="urn:oasis:names:tc:'
                          b'opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:'
                          b'opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:'
                          b'opendocument:xmlns:text:1.0" office:version="1.2"><office:body>'
                          b'<office:spreadsheet><table:table table:name="Data">')
            for r in range(rows):
                cells = []
                for c in range(columns):
                    if r > 0 and c % 2 == 0:
                        cells.append('<table:table-cell office:value-type="float" '
                                     'office:value="%r"><text:p>%r</text:p></table:table-cell>'
                                     % (number(r, c), number(r, c)))
                    else:
                        value = label(c) if r == 0 else text(r)
                        cells.append('<table:table-cell office:value-type="string"><text:p>'
                                     '%s</text:p></table:table-cell>' % escape(value))
                content.write(("<table:table-row>%s</table:table-row>" % "".join(cells))
                              .encode())
            content.write(b"</table:table></office:spreadsheet></office:body>"
                          b"</office:document-content>")


def rows_of_text(rows, columns):
    """Each row's cells as the document shows them."""
    for r in range(rows):
        yield [("%.15G" % number(r, c)) if r > 0 and c % 2 == 0 else
               (label(c) if r == 0 else text(r)) for c in range(columns)]


def make_csv(path, rows, columns):
    with open(path, "w", encoding="utf-8", newline="") as out:
        for cells in rows_of_text(rows, columns):
            out.write(",".join(cells) + "\r\n")


def make_html(path, rows, columns):
    with open(path, "w", encoding="utf-8") as out:
        out.write('<!DOCTYPE html><html><head><meta charset="utf-8"></head><body><table>\n')
        for cells in rows_of_text(rows, columns):
            out.write("<tr>%s</tr>\n" % "".join("<td>%s</td>" % escape(c) for c in cells))
        out.write("</table></body></html>\n")


def make_xml2003(path, rows, columns):
    ss = "urn:schemas-microsoft-com:office:spreadsheet"
    with open(path, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0"?>\n<?mso-application progid="Excel.Sheet"?>\n'
                  '<Workbook xmlns="%s" xmlns:ss="%s"><Worksheet ss:Name="Data"><Table>\n'
                  % (ss, ss))
        for r in range(rows):
            cells = []
            for c in range(columns):
                if r > 0 and c % 2 == 0:
                    cells.append('<Cell><Data ss:Type="Number">%r</Data></Cell>' % number(r, c))
                else:
                    value = label(c) if r == 0 else text(r)
                    cells.append('<Cell><Data ss:Type="String">%s</Data></Cell>' % escape(value))
            out.write("<Row>%s</Row>\n" % "".join(cells))
        out.write("</Table></Worksheet></Workbook>\n")


MAKERS = {"xls": make_xls, "xlsx": make_xlsx, "xlsb": make_xlsb, "ods": make_ods,
          "xml": make_xml2003, "html": make_html, "csv": make_csv}


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 65535
    columns = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    formats = sys.argv[4].split(",") if len(sys.argv) > 4 else ["xls"]
    if any(f not in MAKERS for f in formats):
        sys.exit("formats are %s" % ", ".join(MAKERS))
    os.makedirs(out, exist_ok=True)
    for f in formats:
        path = os.path.join(out, "sheet-%dx%d.%s" % (rows, columns, f))
        MAKERS[f](path, rows, columns)
        print(path)


if __name__ == "__main__":
    main()
