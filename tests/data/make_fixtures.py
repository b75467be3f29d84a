#!/usr/bin/python3
"""Writes the fixture folders tests/data/<feature>/: input.xls and expected.xml.

Run with Debian's /usr/bin/python3 (python3-xlwt) and Gnumeric's ssconvert:

    /usr/bin/python3 tests/data/make_fixtures.py

Each expected.xml is written here by hand from the conversion rules (cell text,
escaping, the column walk), never by running Zerova. Folder names say what a
fixture shows, not which format holds it: the .xlsx and .ods readers add their own
input files beside input.xls.
"""

import datetime as dt
import os
import subprocess
import tempfile
from xml.sax.saxutils import escape

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))


def document(nodes):
    """The expected document. `nodes` is [(label, [value, ...])], already escaped."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?><Main>']
    for n, (label, values) in enumerate(nodes, 1):
        lines.append('<node id="n%d" lbl="%s">' % (n, label))
        lines.extend('<value>%s</value>' % v for v in values)
        lines.append('</node>')
    lines.append('</Main>')
    return ''.join(line + '\r\n' for line in lines).encode('utf-8')


def save(feature, nodes, write_input):
    folder = os.path.join(HERE, feature)
    os.makedirs(folder, exist_ok=True)
    write_input(os.path.join(folder, 'input.xls'))
    with open(os.path.join(folder, 'expected.xml'), 'wb') as out:
        out.write(document(nodes))


def xlwt_book(sheets, active=0, dates_1904=False):
    """`sheets` is [(name, {(row, col): value or (value, number format)})]."""
    def write(path):
        book = xlwt.Workbook()
        book.dates_1904 = dates_1904
        styles = {}
        for name, cells in sheets:
            sheet = book.add_sheet(name)
            for (row, col), value in cells.items():
                if isinstance(value, tuple):
                    value, fmt = value
                    if fmt not in styles:
                        styles[fmt] = xlwt.easyxf(num_format_str=fmt)
                    sheet.write(row, col, value, styles[fmt])
                else:
                    sheet.write(row, col, value)
        book.active_sheet = active
        book.save(path)
    return write


def column(col, label, values, fmt=None):
    """Cells for one column: the label in row 1, then `values` from row 2."""
    cells = {(0, col): label}
    for row, value in enumerate(values, 1):
        cells[(row, col)] = (value, fmt) if fmt else value
    return cells


def gnumeric_book(cells, exporter):
    """A workbook Gnumeric writes (`exporter`) from a sheet of `cells`: {(row, col): text}.
    Text starting with '=' is a formula."""
    rows = []
    for (row, col), text in sorted(cells.items()):
        kind = '' if text.startswith('=') else ' ValueType="60"'
        rows.append('<gnm:Cell Row="%d" Col="%d"%s>%s</gnm:Cell>' % (row, col, kind, escape(text)))
    source = ('<?xml version="1.0" encoding="UTF-8"?>\n'
              '<gnm:Workbook xmlns:gnm="http://www.gnumeric.org/v10.dtd">'
              '<gnm:SheetNameIndex><gnm:SheetName>Sheet1</gnm:SheetName></gnm:SheetNameIndex>'
              '<gnm:Sheets><gnm:Sheet><gnm:Name>Sheet1</gnm:Name><gnm:Cells>'
              + ''.join(rows) + '</gnm:Cells></gnm:Sheet></gnm:Sheets></gnm:Workbook>\n')
    return ssconvert_book('source.gnumeric', exporter, source)


def ssconvert_book(name, exporter, source):
    """A workbook ssconvert writes (`exporter`) from the text `source` in a file `name`."""
    def write(path):
        with tempfile.TemporaryDirectory() as tmp:
            src = os.path.join(tmp, name)
            with open(src, 'w', encoding='utf-8') as out:
                out.write(source)
            subprocess.run(['ssconvert', '-T', exporter, src, path], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    return write


def main():
    # Labels and values; the empty D1 ends the walk, the empty C3 ends City, the
    # empty row 4 ends the others.
    basic = {}
    basic.update(column(0, 'Name', ['Alice', 'Bob', '', 'Carol']))
    basic.update(column(1, 'Age', [30, 25, '', 41]))
    basic.update(column(2, 'City', ['Paris', '', '', 'Oslo']))
    basic.update(column(4, 'Hidden', ['x', 'y']))
    save('basic', [('Name', ['Alice', 'Bob']), ('Age', ['30', '25']), ('City', ['Paris'])],
         xlwt_book([('Sheet1', basic)]))

    # "%.15G"; xlwt stores the integers and hundredths as RK values, the rest as NUMBER.
    numbers = {}
    numbers.update(column(0, 'Value', [1.5, 1e20, 0.1 + 0.2, 1 / 3, 123456789012345678, 1e-7,
                                       1e15, 1e14, 0.0001, 3.141592653589793, 0, -0.0]))
    numbers.update(column(1, 'Stored', [42, -7, 536870911, 536870912, -2.5, 12.34, 1234567.89]))
    save('numbers', [
        ('Value', ['1.5', '1E+20', '0.3', '0.333333333333333', '1.23456789012346E+17', '1E-07',
                   '1E+15', '100000000000000', '0.0001', '3.14159265358979', '0', '0']),
        ('Stored', ['42', '-7', '536870911', '536870912', '-2.5', '12.34', '1234567.89']),
    ], xlwt_book([('Numbers', numbers)]))

    # Built-in ids (21 h:mm:ss, 22 M/D/YY h:mm, 46 [h]:mm:ss, 2 0.00) and formats of our own.
    dates = {}
    dates.update(column(0, 'Date', [dt.date(2024, 2, 29), dt.date(1999, 12, 31), 60, 1,
                                    dt.datetime(2024, 2, 29, 13, 45, 30)], 'YYYY-MM-DD'))
    dates.update(column(1, 'Time', [dt.time(13, 45, 30), 0.5, 0.9999999, 0], 'h:mm:ss'))
    dates.update(column(2, 'Stamp', [dt.datetime(2000, 1, 1), dt.datetime(1900, 3, 1, 6, 0),
                                     2958465.99999, 2958466, -1], 'M/D/YY h:mm'))
    dates.update(column(3, 'Elapsed', [1.5], '[h]:mm:ss'))
    dates.update(column(4, 'Amount', [1234], '_-* #,##0\\ _D_M_-'))
    dates[(2, 4)] = (2.25, '[Red]0.00')
    dates[(3, 4)] = (45000, 'dd/mm/yyyy')
    dates.update(column(5, 'Plain', [45000]))
    dates[(2, 5)] = (1.5, '0.00')
    save('dates', [
        ('Date', ['2024-02-29', '1999-12-31', '1900-02-29', '1900-01-01', '2024-02-29 13:45:30']),
        ('Time', ['13:45:30', '12:00:00', '00:00:00', '00:00:00']),
        ('Stamp', ['2000-01-01', '1900-03-01 06:00:00', '9999-12-31 23:59:59', '2958466', '-1']),
        ('Elapsed', ['1900-01-01 12:00:00']),
        ('Amount', ['1234', '2.25', '2023-03-15']),
        ('Plain', ['45000', '1.5']),
    ], xlwt_book([('Dates', dates)]))

    # The 1904 date system: day 0 is 1904-01-01; a serial below 1 is a time of day.
    save('dates-1904', [
        ('When', ['1904-01-02', '1904-01-02 06:00:00', '00:00:00', '2024-02-29']),
    ], xlwt_book([('Dates', column(0, 'When', [1, 1.25, 0, dt.date(2024, 2, 29)], 'yyyy-mm-dd'))],
                 dates_1904=True))

    text = {}
    text.update(column(0, 'Name & "Title"', [
        'café', 'Grüße, Ζεύς, Москва', '日本語', '\U0001F600', 'a & b < c > d',
        'say "hi" it\'s', 'line1\r\nline2', 'tab\there', '  padded  ', ' ', 'bell\x07']))
    text.update(column(1, '<b>', ['x']))
    save('text', [
        ('Name &amp; &quot;Title&quot;', [
            'café', 'Grüße, Ζεύς, Москва', '日本語', '\U0001F600', 'a &amp; b &lt; c &gt; d',
            'say &quot;hi&quot; it\'s', 'line1&#13;&#10;line2', 'tab&#9;here', '  padded  ', ' ',
            'bell\ufffd']),
        ('&lt;b&gt;', ['x']),
    ], xlwt_book([('Text', text)]))

    # Booleans, and what is not empty: zero, FALSE, a space. The empty text ends the column.
    booleans = {}
    booleans.update(column(0, 'Flag', [True, False, True]))
    booleans.update(column(1, 'Mixed', [0, ' ', False, '', 'after']))
    save('booleans', [('Flag', ['True', 'False', 'True']), ('Mixed', ['0', ' ', 'False'])],
         xlwt_book([('Flags', booleans)]))

    # The second of three sheets is the active one.
    save('active-sheet', [('Second', ['from the second sheet'])], xlwt_book([
        ('First', column(0, 'First', ['from the first sheet'])),
        ('Second', column(0, 'Second', ['from the second sheet'])),
        ('Third', column(0, 'Third', ['from the third sheet'])),
    ], active=1))

    # Another program's files: Gnumeric's import of a .csv, its formulas' cached results,
    # and its Excel 5.0/95 writer (8-bit text in code page 1252).
    save('csv-import', [
        ('City', ['Berlin', 'Köln', 'München']),
        ('Population', ['3677472', '1073096', '1512491']),
        ('Capital', ['True', 'False', 'False']),
    ], ssconvert_book('source.csv', 'Gnumeric_Excel:excel_biff8',
                      'City,Population,Capital\nBerlin,3677472,TRUE\nKöln,1073096,FALSE\n'
                      'München,1512491,FALSE\n'))

    formulas = {(0, 0): 'Item', (0, 1): 'Result'}
    for row, (item, formula) in enumerate([('div', '=1/0'), ('text', '=CONCATENATE("a","b")'),
                                           ('bool', '=1>2'), ('half', '=7/2'), ('na', '=NA()'),
                                           ('empty', '=""'), ('after', '=1')], 1):
        formulas[(row, 0)] = item
        formulas[(row, 1)] = formula
    save('formulas', [
        ('Item', ['div', 'text', 'bool', 'half', 'na', 'empty', 'after']),
        ('Result', ['#DIV/0!', 'ab', 'False', '3.5', '#N/A']),
    ], gnumeric_book(formulas, 'Gnumeric_Excel:excel_biff8'))

    western = {(0, 0): 'Größe', (1, 0): 'Köln', (2, 0): 'café', (3, 0): '€5', (4, 0): 'Ærø',
               (5, 0): 'naïve – dash'}
    save('western-text', [('Größe', ['Köln', 'café', '€5', 'Ærø', 'naïve – dash'])],
         gnumeric_book(western, 'Gnumeric_Excel:excel_biff7'))


if __name__ == '__main__':
    main()
