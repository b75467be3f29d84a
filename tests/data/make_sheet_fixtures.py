#!/usr/bin/python3
"""Writes tests/data/several-sheets/: one workbook of six worksheets in every format
that holds more than one sheet, for listing sheets and choosing one by name or number.

Run with Debian's /usr/bin/python3 (python3-xlwt, python3-openpyxl, python3-odf):

    /usr/bin/python3 tests/data/make_sheet_fixtures.py

The sheets are SHEETS, the active one ACTIVE; STATE hides two (OpenDocument, which has
no "very hidden", hides both). Sheet N holds one column: "Sheet", its name, N. The
.xlsx adds a chart sheet, "Chart"; input.xml is written byte by byte; input.xlsb comes
from make_binary_fixtures.cpp. expected.xml (the active sheet's document) and
expected-sheetN.xml are written by hand from the conversion rules and committed.
"""

import os

import openpyxl
import xlwt
from openpyxl.chart import BarChart, Reference
from odf import style, table
from odf.opendocument import OpenDocumentSpreadsheet

from make_office_fixtures import XML2003_HEAD, active_table_settings, cell, data, table_row

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'several-sheets')
SHEETS = ['Summary', 'Überblick & Co', '1', 'Notes', 'Hidden', 'Secret']
ACTIVE = 1  # "Überblick & Co", counted from 0
STATE = {'Hidden': 1, 'Secret': 2}  # 1 hidden, 2 very hidden; the others visible


def column(n):
    """Sheet n's one column (n from 1): its label, its name, its number."""
    return ['Sheet', SHEETS[n - 1], n]


def write_xls(path):
    book = xlwt.Workbook(encoding='utf-8')
    for n, name in enumerate(SHEETS, 1):
        sheet = book.add_sheet(name)
        for row, value in enumerate(column(n)):
            sheet.write(row, 0, value)
        sheet.set_selected(n - 1 == ACTIVE)
        sheet.visibility = STATE.get(name, 0)
    book.active_sheet = ACTIVE
    book.save(path)


def write_xlsx(path):
    book = openpyxl.Workbook()
    book.remove(book.active)
    for n, name in enumerate(SHEETS, 1):
        sheet = book.create_sheet(name)
        for row, value in enumerate(column(n), 1):
            sheet.cell(row=row, column=1, value=value)
        sheet.sheet_state = ['visible', 'hidden', 'veryHidden'][STATE.get(name, 0)]
    chart = BarChart()
    chart.add_data(Reference(book[SHEETS[0]], min_col=1, min_row=3, max_row=3))
    book.create_chartsheet('Chart').add_chart(chart)
    book.active = ACTIVE
    for n, sheet in enumerate(book.worksheets):
        sheet.sheet_view.tabSelected = n == ACTIVE
    book.save(path)


def write_ods(path):
    doc = OpenDocumentSpreadsheet()
    hidden = style.Style(name='hidden', family='table')
    hidden.addElement(style.TableProperties(display='false'))
    doc.automaticstyles.addElement(hidden)
    for n, name in enumerate(SHEETS, 1):
        sheet = table.Table(name=name, stylename=hidden) if name in STATE else table.Table(name=name)
        label, text, number = column(n)
        for element in [cell('string', [[label]]), cell('string', [[text]]),
                        cell('float', value=str(number))]:
            sheet.addElement(table_row([element]))
        doc.spreadsheet.addElement(sheet)
    active_table_settings(doc, SHEETS[ACTIVE])
    doc.save(path)


def write_xml2003(path):
    def escaped(text):
        return text.replace('&', '&amp;').replace('<', '&lt;').replace('"', '&quot;')

    worksheets = ''
    for n, name in enumerate(SHEETS, 1):
        label, text, number = column(n)
        cells = [data('String', label), data('String', escaped(text)), data('Number', number)]
        rows = ''.join('   <Row>%s</Row>\n' % c for c in cells)
        state = ['', 'SheetHidden', 'SheetVeryHidden'][STATE.get(name, 0)]
        options = ('  <WorksheetOptions xmlns="urn:schemas-microsoft-com:office:excel">'
                   '<Visible>%s</Visible></WorksheetOptions>\n' % state if state else '')
        worksheets += (' <Worksheet ss:Name="%s">\n  <Table>\n%s  </Table>\n%s </Worksheet>\n'
                       % (escaped(name), rows, options))
    document = (XML2003_HEAD + ' <ExcelWorkbook xmlns="urn:schemas-microsoft-com:office:excel">\n'
                '  <ActiveSheet>%d</ActiveSheet>\n </ExcelWorkbook>\n' % ACTIVE +
                worksheets + '</Workbook>\n')
    with open(path, 'wb') as out:
        out.write(document.encode('utf-8'))


def main():
    os.makedirs(HERE, exist_ok=True)
    for extension, write in [('xls', write_xls), ('xlsx', write_xlsx), ('ods', write_ods),
                             ('xml', write_xml2003)]:
        write(os.path.join(HERE, 'input.' + extension))


if __name__ == '__main__':
    main()
