#!/usr/bin/python3
"""Writes Excel 2.x-4.x copies of some fixture folders: tests/data/<feature>/input-biffN.xls,
and the folder biff-unnamed-version/.

No Debian tool writes BIFF2, BIFF3 or BIFF4, so these files are written here record by
record, as Excel 2.1, 3.0 and 4.0 stored them: a bare record stream, no OLE2 container
(the OpenOffice.org "Microsoft Excel File Format" document describes the records). Each
holds the cells of its folder's other inputs and so must give the folder's expected.xml
unchanged. The same files seed the .xls fuzz target.

biff-unnamed-version/ holds a stream as an Excel 2.x-era writer left it: a first BOF
with BIFF5's and BIFF8's id (0x0809) but 6 bytes and version 0, then BIFF2's own cell
records and those of BIFF3 to BIFF5 side by side. Its expected.xml is written here from
the conversion rules.

    /usr/bin/python3 tests/data/make_biff_fixtures.py
"""

import os
import struct

from make_fixtures import document  # the expected document, from the rules

HERE = os.path.dirname(os.path.abspath(__file__))

BOF = {2: 0x0009, 3: 0x0209, 4: 0x0409}
WORKSHEET, BIFF4_WORKBOOK = 0x0010, 0x0100


def record(rid, body=b''):
    return struct.pack('<HH', rid, len(body)) + body


def byte_string(text, count='<B'):
    data = text.encode('cp1252')
    return struct.pack(count, len(data)) + data


class Sheet:
    """One worksheet substream of BIFF `version`: its formats, then its cells."""

    def __init__(self, version, formats=('General',), xf_formats=(0,), date_1904=False):
        self.version = version
        body = struct.pack('<HH', 0 if version > 2 else 2, WORKSHEET)
        out = [record(BOF[version], body + (b'\0\0' if version > 2 else b'')),
               record(0x0042, struct.pack('<H', 1252)),  # CODEPAGE
               record(0x0022, struct.pack('<H', int(date_1904)))]  # DATEMODE
        for code in formats:  # numbered in order; BIFF4 keeps an unused id first
            if version == 4:
                out.append(record(0x041E, b'\0\0' + byte_string(code)))
            else:
                out.append(record(0x001E, byte_string(code)))
        for fmt in xf_formats:  # font 0, the format, no styling
            if version == 2:
                out.append(record(0x0043, bytes([0, 0, fmt, 0])))
            else:
                out.append(record(0x0243 if version == 3 else 0x0443, bytes([0, fmt]) + bytes(10)))
        out.append(record(0x0000 if version == 2 else 0x0200, bytes(8 if version == 2 else 10)))
        self.records = out

    def cell(self, row, col, xf=0):
        """Row, column and the XF index; BIFF2's 3 bytes of cell attributes."""
        if self.version == 2:
            return struct.pack('<HHBBB', row, col, xf, 0, 0)
        return struct.pack('<HHH', row, col, xf)

    def label(self, row, col, text):
        if self.version == 2:
            self.records.append(record(0x0004, self.cell(row, col) + byte_string(text)))
        else:
            self.records.append(record(0x0204, self.cell(row, col) + byte_string(text, '<H')))

    def number(self, row, col, value, xf=0):
        """BIFF2 INTEGER for what fits 16 bits; RK (BIFF3-4) for 30-bit integers; else NUMBER."""
        if self.version == 2 and value == int(value) and 0 <= value < 65536:
            self.records.append(record(0x0002, self.cell(row, col, xf) + struct.pack('<H', value)))
        elif self.version > 2 and value == int(value) and abs(value) < 1 << 29:
            rk = (int(value) << 2 | 2) & 0xFFFFFFFF
            self.records.append(record(0x027E, self.cell(row, col, xf) + struct.pack('<I', rk)))
        else:
            rid = 0x0003 if self.version == 2 else 0x0203
            self.records.append(record(rid, self.cell(row, col, xf) + struct.pack('<d', value)))

    def boolerr(self, row, col, value, is_error=False):
        rid = 0x0005 if self.version == 2 else 0x0205
        self.records.append(record(rid, self.cell(row, col) + bytes([value, is_error])))

    def formula(self, row, col, result, tokens):
        """`result`: a number, or ('text', s), ('bool', b), ('error', code)."""
        if isinstance(result, tuple):
            kind, value = result
            code = {'text': 0, 'bool': 1, 'error': 2}[kind]
            cached = bytes([code, 0, 0 if kind == 'text' else value, 0, 0, 0, 0xFF, 0xFF])
        else:
            cached = struct.pack('<d', result)
        size = struct.pack('<B' if self.version == 2 else '<H', len(tokens))
        flags = b'\0' if self.version == 2 else b'\0\0'
        rid = {2: 0x0006, 3: 0x0206, 4: 0x0406}[self.version]
        self.records.append(record(rid, self.cell(row, col) + cached + flags + size + tokens))
        if isinstance(result, tuple) and result[0] == 'text':
            count = '<B' if self.version == 2 else '<H'
            self.records.append(record(0x0007 if self.version == 2 else 0x0207,
                                       byte_string(result[1], count)))

    def stream(self):
        return b''.join(self.records) + record(0x000A)


def biff4_workbook(sheets):
    """A BIFF4 workbook: globals naming the sheets, then each sheet after its SHEETHDR
    (the sheet's length and name). The first sheet is the active one."""
    globals_ = [record(BOF[4], struct.pack('<HHH', 0, BIFF4_WORKBOOK, 0)),
                record(0x0042, struct.pack('<H', 1252))]
    globals_ += [record(0x0085, byte_string(name)) for name, _ in sheets]
    out = b''.join(globals_) + record(0x000A)
    for name, sheet in sheets:
        data = sheet.stream()
        out += record(0x008F, struct.pack('<I', len(data)) + byte_string(name)) + data
    return out


# Excel's formula tokens: integers, strings, + / > &, and the function NA() (number 10).
def t_int(n):
    return b'\x1e' + struct.pack('<H', n)


def t_str(s):
    return b'\x17' + byte_string(s)


T_DIV, T_GT, T_CONCAT = b'\x06', b'\x0d', b'\x08'
T_NA = b'\x21\x0a'  # a function of no argument: BIFF3 gives its number in one byte


def basic():
    """basic/ as Excel 2.1 writes it."""
    s = Sheet(2)
    for col, label, values in [(0, 'Name', ['Alice', 'Bob', '', 'Carol']),
                               (1, 'Age', [30, 25, '', 41]),
                               (2, 'City', ['Paris', '', '', 'Oslo']),
                               (4, 'Hidden', ['x', 'y'])]:
        s.label(0, col, label)
        for row, value in enumerate(values, 1):
            s.label(row, col, value) if isinstance(value, str) else s.number(row, col, value)
    return s.stream()


def formulas():
    """formulas/ as Excel 3.0 writes it: each result cached in its FORMULA record."""
    s = Sheet(3)
    s.label(0, 0, 'Item')
    s.label(0, 1, 'Result')
    for row, (item, result, tokens) in enumerate([
            ('div', ('error', 0x07), t_int(1) + t_int(0) + T_DIV),
            ('text', ('text', 'ab'), t_str('a') + t_str('b') + T_CONCAT),
            ('bool', ('bool', 0), t_int(1) + t_int(2) + T_GT),
            ('half', 3.5, t_int(7) + t_int(2) + T_DIV),
            ('na', ('error', 0x2A), T_NA),
            ('empty', ('text', ''), t_str('')),
            ('after', 1.0, t_int(1))], 1):
        s.label(row, 0, item)
        s.formula(row, 1, result, tokens)
    return s.stream()


def dates_1904():
    """dates-1904/ as Excel 4.0 writes it: the 1904 date system, a date format of its own."""
    s = Sheet(4, formats=('General', 'yyyy-mm-dd'), xf_formats=(0, 1), date_1904=True)
    s.label(0, 0, 'When')
    for row, serial in enumerate([1, 1.25, 0, 43889], 1):  # 43889: 2024-02-29 from 1904
        s.number(row, 0, serial, xf=1)
    return s.stream()


def booleans():
    """booleans/ as the first sheet of an Excel 4.0 workbook."""
    flags = Sheet(4)
    flags.label(0, 0, 'Flag')
    for row, value in enumerate([1, 0, 1], 1):
        flags.boolerr(row, 0, value)
    flags.label(0, 1, 'Mixed')
    flags.number(1, 1, 0)
    flags.label(2, 1, ' ')
    flags.boolerr(3, 1, 0)
    flags.label(4, 1, '')
    flags.label(5, 1, 'after')
    other = Sheet(4)
    other.label(0, 0, 'Other')
    return biff4_workbook([('Flags', flags), ('Other', other)])


def unnamed_version():
    """Row 1 in BIFF2's LABEL, NUMBER and INTEGER; row 2 in the LABEL, NUMBER and RK that
    BIFF3 to BIFF5 write; no formats."""
    out = [record(0x0809, struct.pack('<HHH', 0, WORKSHEET, 0))]
    biff2_cell = lambda col: struct.pack('<HHBBB', 0, col, 0, 0, 0)
    out.append(record(0x0004, biff2_cell(0) + byte_string('BIFF2')))
    out.append(record(0x0003, biff2_cell(1) + struct.pack('<d', 1234.5678)))
    out.append(record(0x0002, biff2_cell(2) + struct.pack('<H', 1234)))
    later_cell = lambda col: struct.pack('<HHH', 1, col, 0)
    out.append(record(0x0204, later_cell(0) + byte_string('BIFF3-5', '<H')))
    out.append(record(0x0203, later_cell(1) + struct.pack('<d', 8765.4321)))
    out.append(record(0x027E, later_cell(2) + struct.pack('<I', 4321 << 2 | 2)))
    return b''.join(out) + record(0x000A)


def main():
    folder = os.path.join(HERE, 'biff-unnamed-version')
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, 'expected.xml'), 'wb') as out:
        out.write(document([('BIFF2', ['BIFF3-5']), ('1234.5678', ['8765.4321']),
                            ('1234', ['4321'])]))
    for feature, name, data in [('biff-unnamed-version', 'input.xls', unnamed_version()),
                                ('basic', 'input-biff2.xls', basic()),
                                ('formulas', 'input-biff3.xls', formulas()),
                                ('dates-1904', 'input-biff4.xls', dates_1904()),
                                ('booleans', 'input-biff4w.xls', booleans())]:
        with open(os.path.join(HERE, feature, name), 'wb') as out:
            out.write(data)


if __name__ == '__main__':
    main()
