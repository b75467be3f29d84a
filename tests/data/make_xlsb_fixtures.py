#!/usr/bin/python3
"""Writes Excel Binary Workbook copies of some fixture folders: tests/data/<feature>/input.xlsb.

No Debian tool saves .xlsb, so these packages are written here record by record
([MS-XLSB] 2.3 for the record types and layouts) and zipped with a fixed time stamp,
so running this again changes no byte. Each holds the cells of its folder's other
inputs (see make_fixtures.py and make_office_fixtures.py) and so must give the
folder's expected.xml unchanged; this script writes no document. The records vary by
folder: shared and inline strings, rich text, RK and real numbers, formulas' cached
results, built-in and workbook-defined date formats, the 1904 date system, the active
tab. The same files seed the .xlsb fuzz target.

    /usr/bin/python3 tests/data/make_xlsb_fixtures.py
"""

import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Record types.
ROW_HDR, CELL_BLANK, CELL_RK, CELL_BOOL, CELL_REAL, CELL_ST, CELL_ISST = 0, 1, 2, 4, 5, 6, 7
FMLA_STRING, FMLA_NUM, FMLA_BOOL, FMLA_ERROR = 8, 9, 10, 11
SST_ITEM, FMT, XF, CELL_RSTRING = 19, 44, 47, 62
BEGIN_SHEET, END_SHEET, BEGIN_BOOK, END_BOOK = 129, 130, 131, 132
BEGIN_BOOK_VIEWS, END_BOOK_VIEWS, BEGIN_BUNDLE_SHS, END_BUNDLE_SHS = 135, 136, 143, 144
BEGIN_SHEET_DATA, END_SHEET_DATA, WB_PROP, BUNDLE_SH, BOOK_VIEW = 145, 146, 153, 156, 158
BEGIN_SST, END_SST, BEGIN_STYLE_SHEET, END_STYLE_SHEET = 159, 160, 278, 279
BEGIN_FMTS, END_FMTS, BEGIN_CELL_XFS, END_CELL_XFS, BEGIN_STYLE_XFS, END_STYLE_XFS = (
    615, 616, 617, 618, 626, 627)


def record(rid, body=b''):
    """The type and the size as 7-bit groups (high bit: another byte follows), then `body`."""
    head = bytes([rid & 0x7F | 0x80, rid >> 7]) if rid > 0x7F else bytes([rid])
    size = len(body)
    while True:
        head += bytes([size & 0x7F | (0x80 if size > 0x7F else 0)])
        size >>= 7
        if not size:
            return head + body


def wide(text):
    """An XLWideString: the count of UTF-16 code units, then the units."""
    units = text.encode('utf-16-le')
    return struct.pack('<I', len(units) // 2) + units


def rich_str(text, rich=False):
    """A RichStr; a rich one has one formatting run (character 0, font 1) after its text."""
    return bytes([rich]) + wide(text) + (struct.pack('<IHH', 1, 0, 1) if rich else b'')


EMPTY_FORMULA = struct.pack('<HII', 0, 0, 0)  # grbitFlags, a formula of no tokens, no extra


# Cells: each a function of the 0-based column, giving the cell's record.
def cell(rid, tail, style=0):
    return lambda col: record(rid, struct.pack('<II', col, style) + tail)


def text(s):
    return cell(CELL_ST, wide(s))


def rich(s):
    return cell(CELL_RSTRING, rich_str(s, True))


def num(value, style=0):
    return cell(CELL_REAL, struct.pack('<d', value), style)


def rk(bits, style=0):
    return cell(CELL_RK, struct.pack('<I', bits), style)


def integer(n, hundredths=False, style=0):
    """An RK integer (bit 1), in hundredths when bit 0 is set."""
    return rk((n << 2 | 2 | hundredths) & 0xFFFFFFFF, style)


def flag(value):
    return cell(CELL_BOOL, bytes([value]))


def empty():
    return cell(CELL_BLANK, b'')


def formula(rid, cached):
    return cell(rid, cached + EMPTY_FORMULA)


class Grid:
    """A sheet's cells, and the shared-string table they may refer to."""

    def __init__(self):
        self.cells = {}  # (row, col): record
        self.index = {}
        self.strings = []

    def column(self, col, cells, first_row=0):
        for row, make in enumerate(cells, first_row):
            self.cells[row, col] = make(col)

    def shared(self, s, is_rich=False):
        """A cell naming shared string `s`, added to the table on first use."""
        if s not in self.index:
            self.index[s] = len(self.strings)
            self.strings.append(rich_str(s, is_rich))
        return cell(CELL_ISST, struct.pack('<I', self.index[s]))

    def data(self):
        """Each row's header (BrtRowHdr), then its cells by column."""
        out, last = b'', None
        for (row, col), rec in sorted(self.cells.items()):
            if row != last:
                out += record(ROW_HDR, struct.pack('<IIHHBI', row, 0, 300, 0, 0, 0))
                last = row
            out += rec
        return out


class Book:
    def __init__(self, sheets, shared=(), active=0, date1904=False, formats=(), cell_formats=()):
        self.sheets = sheets  # (name, sheet data)
        self.shared = shared  # BrtSSTItem bodies
        self.active = active
        self.date1904 = date1904
        self.formats = formats  # (id, code)
        self.cell_formats = cell_formats  # each cell XF's format id


def one_sheet(name, grid, **kwargs):
    return Book([(name, grid.data())], grid.strings, **kwargs)


OFFICE = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8"?><Types '
    'xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default '
    'Extension="bin" ContentType="application/vnd.ms-excel.sheet.binary.macroEnabled.main"/>'
    '<Default Extension="rels" '
    'ContentType="application/vnd.openxmlformats-package.relationships+xml"/></Types>')


def relationships(rels):
    return ('<?xml version="1.0" encoding="UTF-8"?><Relationships '
            'xmlns="http://schemas.openxmlformats.org/package/2006/relationships">' +
            ''.join('<Relationship Id="%s" Type="%s" Target="%s"/>' % rel for rel in rels) +
            '</Relationships>')


def workbook_part(book):
    out = record(BEGIN_BOOK)
    out += record(WB_PROP, struct.pack('<II', int(book.date1904), 0) + wide(''))
    out += record(BEGIN_BOOK_VIEWS)
    out += record(BOOK_VIEW, bytes(24) + struct.pack('<IB', book.active, 0x78))
    out += record(END_BOOK_VIEWS) + record(BEGIN_BUNDLE_SHS)
    for i, (name, _) in enumerate(book.sheets, 1):
        out += record(BUNDLE_SH, struct.pack('<II', 0, i) + wide('rId%d' % i) + wide(name))
    return out + record(END_BUNDLE_SHS) + record(END_BOOK)


def xf(fmt):
    return record(XF, struct.pack('<HH', 0, fmt) + bytes(12))


def styles_part(book):
    out = record(BEGIN_STYLE_SHEET) + record(BEGIN_FMTS, struct.pack('<I', len(book.formats)))
    for fid, code in book.formats:
        out += record(FMT, struct.pack('<H', fid) + wide(code))
    out += record(END_FMTS)
    # A cell style's format that shows a date: it must not count as a cell format.
    out += record(BEGIN_STYLE_XFS, struct.pack('<I', 1)) + xf(14) + record(END_STYLE_XFS)
    out += record(BEGIN_CELL_XFS, struct.pack('<I', len(book.cell_formats)))
    out += b''.join(xf(fmt) for fmt in book.cell_formats)
    return out + record(END_CELL_XFS) + record(END_STYLE_SHEET)


def parts(book):
    """The package's members in order: content types, relationships, workbook.bin, the
    sheets, sharedStrings.bin and styles.bin when there are any, the workbook's rels."""
    out = [('[Content_Types].xml', CONTENT_TYPES),
           ('_rels/.rels', relationships([('rId1', OFFICE + 'officeDocument',
                                           'xl/workbook.bin')])),
           ('xl/workbook.bin', workbook_part(book))]
    rels = []
    for i, (_, data) in enumerate(book.sheets, 1):
        part = 'worksheets/sheet%d.bin' % i
        rels.append(('rId%d' % i, OFFICE + 'worksheet', part))
        out.append(('xl/' + part, record(BEGIN_SHEET) + record(BEGIN_SHEET_DATA) + data +
                    record(END_SHEET_DATA) + record(END_SHEET)))
    if book.shared:
        rels.append(('rIdS', OFFICE + 'sharedStrings', 'sharedStrings.bin'))
        count = struct.pack('<II', len(book.shared), len(book.shared))
        out.append(('xl/sharedStrings.bin', record(BEGIN_SST, count) +
                    b''.join(record(SST_ITEM, item) for item in book.shared) + record(END_SST)))
    if book.cell_formats:
        rels.append(('rIdT', OFFICE + 'styles', '/xl/styles.bin'))  # an absolute target
        out.append(('xl/styles.bin', styles_part(book)))
    out.append(('xl/_rels/workbook.bin.rels', relationships(rels)))
    return out


def basic():
    g = Grid()
    s = g.shared
    g.column(0, [s('Name'), s('Alice'), s('Bob'), empty(), s('Carol')])
    g.column(1, [s('Age'), integer(30), integer(25), empty(), num(41)])
    g.column(2, [s('City'), s('Paris'), empty(), empty(), s('Oslo')])
    g.column(4, [s('Hidden'), s('x'), s('y')])
    return one_sheet('Sheet1', g)


def numbers():
    g = Grid()
    g.column(0, [text('Value'), num(1.5), num(1e20), num(0.1 + 0.2), num(1.0 / 3),
                 num(123456789012345678.0), num(1e-7), num(1e15), num(1e14), num(0.0001),
                 num(3.141592653589793), integer(0), num(-0.0)])
    # RK integers, hundredths and a truncated double (-2.5); 2^29 needs a real.
    g.column(1, [text('Stored'), integer(42), integer(-7), integer(536870911), num(536870912),
                 rk(0xC0040000), integer(1234, True), integer(123456789, True)])
    return one_sheet('Numbers', g)


def dates():
    g = Grid()
    iso, time, stamp, elapsed, accounting, red, dmy, fixed = range(1, 9)  # 0: General
    when = 45351 + 49530.0 / 86400  # 2024-02-29 13:45:30
    g.column(0, [text('Date'), num(45351, iso), num(36525, iso), integer(60, style=iso),
                 integer(1, style=iso), num(when, iso)])
    g.column(1, [text('Time'), num(49530.0 / 86400, time), num(0.5, time),
                 num(0.9999999, time), integer(0, style=time)])
    g.column(2, [text('Stamp'), num(36526, stamp), num(61.25, stamp), num(2958465.99999, stamp),
                 num(2958466, stamp), integer(-1, style=stamp)])
    g.column(3, [text('Elapsed'), num(1.5, elapsed)])
    g.column(4, [text('Amount'), num(1234, accounting), num(2.25, red), num(45000, dmy)])
    g.column(5, [text('Plain'), num(45000), num(1.5, fixed)])
    formats = [(164, 'YYYY-MM-DD'), (165, '_-* #,##0\\ _D_M_-'), (166, '[Red]0.00'),
               (167, 'dd/mm/yyyy')]
    # Cell formats 21, 22, 46 and 2 are built in.
    return one_sheet('Dates', g, formats=formats,
                     cell_formats=[0, 164, 21, 22, 46, 165, 166, 167, 2])


def dates_1904():
    g = Grid()
    g.column(0, [text('When'), integer(1, style=1), num(1.25, 1), num(0, 1),
                 num(45351 - 1462, 1)])  # 2024-02-29 from 1904
    return one_sheet('Dates', g, date1904=True, formats=[(164, 'yyyy-mm-dd')],
                     cell_formats=[0, 164])


def text_sheet():
    g = Grid()
    g.column(0, [text('Name & "Title"'), g.shared('café', True), rich('Grüße, Ζεύς, Москва'),
                 g.shared('日本語'), text('\U0001F600'), text('a & b < c > d'),
                 text('say "hi" it\'s'), g.shared('line1\r\nline2'), text('tab\there'),
                 text('  padded  '), g.shared(' '), text('bell\x07')])
    g.column(1, [text('<b>'), text('x')])
    return one_sheet('Text', g)


def booleans():
    g = Grid()
    g.column(0, [text('Flag'), flag(1), flag(0), flag(1)])
    g.column(1, [text('Mixed'), integer(0), text(' '), flag(0), text(''), text('after')])
    return one_sheet('Flags', g)


def active_sheet():
    sheets = []
    for name, nth in [('First', 'first'), ('Second', 'second'), ('Third', 'third')]:
        g = Grid()
        g.column(0, [text(name), text('from the %s sheet' % nth)])
        sheets.append((name, g.data()))
    return Book(sheets, active=1)


def formulas():
    g = Grid()
    g.column(0, [g.shared(s) for s in
                 ['Item', 'div', 'text', 'bool', 'half', 'na', 'empty', 'after']])
    g.column(1, [g.shared('Result'),
                 formula(FMLA_ERROR, b'\x07'),
                 formula(FMLA_STRING, wide('ab')),
                 formula(FMLA_BOOL, b'\0'),
                 formula(FMLA_NUM, struct.pack('<d', 3.5)),
                 formula(FMLA_ERROR, b'\x2a'),
                 formula(FMLA_STRING, wide('')),
                 formula(FMLA_NUM, struct.pack('<d', 1))])
    return one_sheet('Sheet1', g)


def western_text():
    g = Grid()
    g.column(0, [g.shared(s) for s in ['Größe', 'Köln', 'café', '€5', 'Ærø', 'naïve – dash']])
    return one_sheet('Sheet1', g)


def csv_import():
    g = Grid()
    g.column(0, [text('City'), text('Berlin'), text('Köln'), text('München')])
    g.column(1, [text('Population'), integer(3677472), integer(1073096), integer(1512491)])
    g.column(2, [text('Capital'), flag(1), flag(0), flag(0)])
    return one_sheet('Sheet1', g)


def openpyxl_book():
    g = Grid()
    linus = 45351 + 49530.0 / 86400
    g.column(0, [text('Name'), text('Ada'), text('Grace'), text('Linus')])
    g.column(1, [text('Born'), num(2535, 1), num(25565, 1), num(linus, 1)])
    g.column(2, [text('Score'), num(1.5), integer(0), num(1e20), num(0.1)])
    g.column(3, [text('Note'), text('x<y & "z"'), text("it's"), text('tab\there'),
                 text('Ünïcödé €')])
    return one_sheet('People', g, formats=[(164, 'yyyy-mm-dd hh:mm:ss')],
                     cell_formats=[0, 164])


def write_zip(path, members):
    """Each member deflated, stamped 2024-01-01 00:00, in the given order."""
    with zipfile.ZipFile(path, 'w') as z:
        for name, contents in members:
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, contents)


def main():
    for feature, book in [('basic', basic()), ('numbers', numbers()), ('dates', dates()),
                          ('dates-1904', dates_1904()), ('text', text_sheet()),
                          ('booleans', booleans()), ('active-sheet', active_sheet()),
                          ('formulas', formulas()), ('western-text', western_text()),
                          ('csv-import', csv_import()), ('openpyxl-book', openpyxl_book())]:
        write_zip(os.path.join(HERE, feature, 'input.xlsb'), parts(book))


if __name__ == '__main__':
    main()
