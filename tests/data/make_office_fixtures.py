#!/usr/bin/python3
"""Writes the inputs other than .xls of the fixture folders tests/data/<feature>/.

Run after make_fixtures.py, with Debian's /usr/bin/python3 (python3-openpyxl,
python3-odf), Gnumeric's ssconvert and LibreOffice (libreoffice-calc-nogui):

    /usr/bin/python3 tests/data/make_office_fixtures.py [STEP...]

(no STEP: all of them; see STEPS at the end). Other programs' copies of the .xls
fixtures (CONVERSIONS, FLAT_COPIES, TEXT_COPIES), so that one expected.xml checks
that every format gives the same document; a workbook made with openpyxl; packages
written part by part, or with python3-odf, for what only the newer formats store;
and the text formats written byte by byte, since no program writes these cases on
purpose. Each folder's expected.xml is written by hand, from the conversion rules.
"""

import datetime as dt
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

import openpyxl
from odf import config, office, table, text
from odf.opendocument import OpenDocumentSpreadsheet

HERE = os.path.dirname(os.path.abspath(__file__))

# For each .xls fixture: which program's .xlsx and .ods copy keeps its content.
# None: neither does. Left out: text/ (both drop the CR of a CR LF in a cell),
# and the .ods of active-sheet/ (LibreOffice headless writes no view settings,
# and ssconvert takes the .xls's first sheet as active).
# LibreOffice turns booleans into numbers (=TRUE() formulas), so that folder uses
# Gnumeric. Neither program keeps dates/ in .ods: a date before 1900-03-01 moves by
# a day (LibreOffice counts days from 1899-12-30 with no 1900-02-29; Gnumeric
# writes no date for serial 60), and an .ods cell is read as the date it holds.
CONVERSIONS = {
    'basic': ('libreoffice', 'libreoffice'),
    'numbers': ('gnumeric', 'libreoffice'),
    'western-text': ('libreoffice', 'gnumeric'),
    'dates': ('libreoffice', None),
    'dates-1904': ('gnumeric', 'gnumeric'),
    'booleans': ('gnumeric', 'gnumeric'),
    'csv-import': ('gnumeric', 'gnumeric'),
    'formulas': ('gnumeric', 'gnumeric'),
    'active-sheet': ('libreoffice', None),
}

# LibreOffice copies as .fods and XML Spreadsheet 2003. Left out: what CONVERSIONS
# leaves out for .ods, and the XML of dates/ (LibreOffice writes times past 24
# hours, serials before 1899-12-30 and past 9999 its own way), dates-1904/ (it
# drops the 1904 setting, so a time of day becomes a date in 1904) and the rest,
# whose export LibreOffice's filter does not finish.
FLAT_COPIES = {
    'fods': ['basic', 'numbers', 'western-text', 'dates-1904', 'openpyxl-book'],
    'xml': ['basic', 'numbers'],
}

# HTML and CSV copies: only where each cell's shown text is the text the
# conversion gives it (LibreOffice and Gnumeric write TRUE for True, numbers in
# their display formats, and drop a cell's CR, TAB and control characters in HTML).
TEXT_COPIES = {
    'html': [('basic', 'libreoffice'), ('western-text', 'gnumeric')],
    'csv': [('basic', 'libreoffice'), ('text', 'gnumeric')],
}

SSCONVERT_EXPORTERS = {'xlsx': 'Gnumeric_Excel:xlsx2', 'ods': 'Gnumeric_OpenCalc:odf',
                       'html': 'Gnumeric_html:html40', 'csv': 'Gnumeric_stf:stf_csv'}

# LibreOffice's export filter for each extension that names more than one.
LIBREOFFICE_FILTERS = {'xml': 'xml:MS Excel 2003 XML', 'html': 'html:HTML (StarCalc)',
                       'csv': 'csv:Text - txt - csv (StarCalc):44,34,76,1'}


def folder(feature):
    path = os.path.join(HERE, feature)
    os.makedirs(path, exist_ok=True)
    return path


def convert(source, target, program):
    """Saves `source` as `target` (its extension picks the format) with `program`."""
    extension = os.path.splitext(target)[1][1:]
    if program == 'gnumeric':
        subprocess.run(['ssconvert', '-T', SSCONVERT_EXPORTERS[extension], source, target],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(['libreoffice', '--headless', '--norestore',
                        '-env:UserInstallation=file://' + os.path.join(work, 'profile'),
                        '--convert-to', LIBREOFFICE_FILTERS.get(extension, extension),
                        '--outdir', work, source],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        name = os.path.splitext(os.path.basename(source))[0] + '.' + extension
        shutil.move(os.path.join(work, name), target)


def copies_of_xls_fixtures():
    for feature, programs in CONVERSIONS.items():
        source = os.path.join(HERE, feature, 'input.xls')
        for extension, program in zip(('xlsx', 'ods'), programs):
            if program is not None:
                convert(source, os.path.join(HERE, feature, 'input.' + extension), program)


EMPTY_ROW = re.compile(r'<Row[^>]*>(?:<Cell[^>]*/>)*</Row>|<Row[^>]*/>')


def drop_trailing_empty_rows(path):
    """LibreOffice's XML Spreadsheet export writes every row down to 1,048,576 once a
    column is formatted (38 MB for a few cells); the rows after the last one that
    holds data change nothing a reader sees, so they go."""
    with open(path, encoding='utf-8') as source:
        tables = source.read().split('</Table>')
    for n, table in enumerate(tables[:-1]):
        rows = table.split('<Row')
        while len(rows) > 1 and EMPTY_ROW.fullmatch('<Row' + rows[-1]):
            rows.pop()
        tables[n] = '<Row'.join(rows)
    with open(path, 'w', encoding='utf-8', newline='') as target:
        target.write('</Table>'.join(tables))


def flat_and_text_copies():
    for extension, features in FLAT_COPIES.items():
        for feature in features:
            target = os.path.join(HERE, feature, 'input.' + extension)
            convert(os.path.join(HERE, feature, 'input.xls'), target, 'libreoffice')
            if extension == 'xml':
                drop_trailing_empty_rows(target)
    for extension, copies in TEXT_COPIES.items():
        for feature, program in copies:
            convert(os.path.join(HERE, feature, 'input.xls'),
                    os.path.join(HERE, feature, 'input.' + extension), program)


def openpyxl_book():
    """One sheet of text, numbers and dates, as openpyxl writes it; LibreOffice saves
    the .xls and .ods copies (no booleans: LibreOffice turns them into numbers)."""
    path = folder('openpyxl-book')
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = 'People'
    rows = [
        ('Name', 'Born', 'Score', 'Note'),
        ('Ada', dt.datetime(1906, 12, 9), 1.5, 'x<y & "z"'),
        ('Grace', dt.datetime(1969, 12, 28), 0, "it's"),
        ('Linus', dt.datetime(2024, 2, 29, 13, 45, 30), 1e20, 'tab\there'),
        (None, None, 0.1, 'Ünïcödé €'),
    ]
    for r, row in enumerate(rows, 1):
        for c, value in enumerate(row, 1):
            if value is None:
                continue
            cell = sheet.cell(row=r, column=c, value=value)
            if isinstance(value, dt.datetime):
                cell.number_format = 'yyyy-mm-dd hh:mm:ss'
    xlsx = os.path.join(path, 'input.xlsx')
    book.save(xlsx)
    convert(xlsx, os.path.join(path, 'input.ods'), 'libreoffice')
    convert(xlsx, os.path.join(path, 'input.xls'), 'libreoffice')


def write_package(path, parts):
    """Writes a zip holding `parts` ({name: text}) in the order given."""
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED) as package:
        for name, content in parts.items():
            package.writestr(name, content)


def xlsx_parts(main, rel, workbook_inner, sheets, shared_strings, styles):
    """The parts of an .xlsx in namespaces `main` and `rel`; `sheets` holds each
    sheet's <sheetData> content, in order."""
    package = 'http://schemas.openxmlformats.org/package/2006/relationships'
    head = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    sheet_rels = ''.join(
        '<Relationship Id="rId%d" Type="%s/worksheet" Target="worksheets/sheet%d.xml"/>'
        % (n, rel, n) for n in range(1, len(sheets) + 1))
    parts = {
        '[Content_Types].xml': head +
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
        'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/></Types>',
        '_rels/.rels': head + '<Relationships xmlns="%s"><Relationship Id="rId1" '
        'Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % (package, rel),
        'xl/workbook.xml': head + '<workbook xmlns="%s" xmlns:r="%s">%s</workbook>'
        % (main, rel, workbook_inner),
        'xl/_rels/workbook.xml.rels': head + '<Relationships xmlns="%s">%s'
        '<Relationship Id="rIdS" Type="%s/sharedStrings" Target="sharedStrings.xml"/>'
        '<Relationship Id="rIdT" Type="%s/styles" Target="styles.xml"/></Relationships>'
        % (package, sheet_rels, rel, rel),
        'xl/sharedStrings.xml': head + '<sst xmlns="%s">%s</sst>' % (main, shared_strings),
        'xl/styles.xml': head + '<styleSheet xmlns="%s">%s</styleSheet>' % (main, styles),
    }
    for n, data in enumerate(sheets, 1):
        parts['xl/worksheets/sheet%d.xml' % n] = (
            head + '<worksheet xmlns="%s"><sheetData>%s</sheetData></worksheet>' % (main, data))
    return parts


TRANSITIONAL = ('http://schemas.openxmlformats.org/spreadsheetml/2006/main',
                'http://schemas.openxmlformats.org/officeDocument/2006/relationships')
STRICT = ('http://purl.oclc.org/ooxml/spreadsheetml/main',
          'http://purl.oclc.org/ooxml/officeDocument/relationships')

STYLES = ('<numFmts count="2"><numFmt numFmtId="164" formatCode="dd/mm/yyyy\\ hh:mm"/>'
          '<numFmt numFmtId="165" formatCode="0.00%"/></numFmts>'
          '<cellXfs count="4"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/>'
          '<xf numFmtId="165"/></cellXfs>')


def xlsx_cell_kinds():
    """Every kind of cell SpreadsheetML stores. Rows carry no r; column E's cells
    carry none either and follow column D."""
    shared = ('<si><t>Shared</t></si>'
              '<si><r><t>東</t></r><r><rPr><b/></rPr><t>京</t></r>'
              '<rPh sb="0" eb="2"><t>トウキョウ</t></rPh><phoneticPr fontId="0"/></si>'
              '<si><t>a &lt; b &amp; "c"</t></si>'
              '<si><t xml:space="preserve">  two spaces</t></si>')
    rows = [
        '<c r="A1" t="inlineStr"><is><t>Inline</t></is></c><c r="B1" t="s"><v>0</v></c>'
        '<c r="C1" t="str"><f>"Formula"</f><v>Formula</v></c>'
        '<c r="D1" t="inlineStr"><is><t>Dates</t></is></c><c t="inlineStr"><is><t>Follows</t></is></c>',
        '<c r="A2" t="inlineStr"><is><r><rPr><b/></rPr><t>bold</t></r>'
        '<r><t xml:space="preserve"> and plain</t></r></is></c><c r="B2" t="s"><v>1</v></c>'
        '<c r="C2" t="str"><f>"a"&amp;"b"</f><v>ab</v></c>'
        '<c r="D2" t="d"><v>2024-02-29T13:45:30</v></c><c><v>1</v></c>',
        '<c r="A3" t="inlineStr"><is><t>line_x000D__x000A_two</t></is></c>'
        '<c r="B3" t="s"><v>2</v></c><c r="C3" t="b"><f>1=1</f><v>1</v></c>'
        '<c r="D3" t="d"><v>1900-01-01</v></c><c t="b"><v>0</v></c>',
        '<c r="A4" t="inlineStr"><is><t>_x005F_x0041_</t></is></c>'
        '<c r="B4" t="s"><v>3</v></c><c r="C4" t="e"><f>#REF!+1</f><v>#REF!</v></c>'
        '<c r="D4" s="1"><v>45000</v></c><c t="e"><v>#N/A</v></c>',
        '<c r="C5"><f>1/10</f><v>0.1</v></c><c r="D5" s="2"><v>45000.25</v></c>'
        '<c t="str"><v>x</v></c>',
        '<c r="C6" t="str"><f>""</f><v></v></c><c r="D6" s="3"><v>45000</v></c>',
        '<c r="C7" t="inlineStr"><is><t>hidden below the empty formula</t></is></c>'
        '<c r="D7" t="d"><v>12:30:00</v></c>',
    ]
    sheet = ''.join('<row>%s</row>' % row for row in rows)
    workbook = '<sheets><sheet name="Kinds" sheetId="1" r:id="rId1"/></sheets>'
    write_package(os.path.join(folder('xlsx-cell-kinds'), 'input.xlsx'),
                  xlsx_parts(*TRANSITIONAL, workbook, [sheet], shared, STYLES))


def two_sheets(date, properties=''):
    """The workbook of xlsx-strict/ and xlsx-no-workbook-rels/: its second sheet active,
    A2 holding `date` in the date style, after the workbook `properties`."""
    workbook = ('%s<bookViews><workbookView activeTab="1"/></bookViews>'
                '<sheets><sheet name="Wrong" sheetId="1" r:id="rId1"/>'
                '<sheet name="Right" sheetId="2" r:id="rId2"/></sheets>' % properties)
    first = '<row r="1"><c r="A1" t="inlineStr"><is><t>Wrong sheet</t></is></c></row>'
    second = ('<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr">'
              '<is><t>Count</t></is></c></row>'
              '<row r="2"><c r="A2" s="1"><v>%s</v></c><c r="B2"><v>3</v></c></row>'
              '<row r="3"><c r="A3" t="d"><v>2024-01-01</v></c><c r="B3" t="b"><v>0</v></c></row>'
              % date)
    return workbook, [first, second]


def xlsx_strict():
    """Strict namespaces, the second sheet active, and the 1904 date system."""
    workbook, sheets = two_sheets(1, '<workbookPr date1904="1"/>')
    write_package(os.path.join(folder('xlsx-strict'), 'input.xlsx'),
                  xlsx_parts(*STRICT, workbook, sheets, '<si><t>Day</t></si>', STYLES))


def xlsx_no_workbook_rels():
    """A workbook without xl/_rels/workbook.xml.rels, as some writers leave one: its
    second sheet active, shared strings and a date style, all at their usual names."""
    workbook, sheets = two_sheets(45000)
    parts = xlsx_parts(*TRANSITIONAL, workbook, sheets, '<si><t>Day</t></si>', STYLES)
    del parts['xl/_rels/workbook.xml.rels']
    write_package(os.path.join(folder('xlsx-no-workbook-rels'), 'input.xlsx'), parts)


def sheet_names():
    """Five sheets whose names are no file names on Windows as they stand: a
    device's name, characters Windows refuses, a trailing dot, and two names
    that differ only in case (which Excel would not save, but a reader meets)."""
    names = ['CON', 'a<b>|c', 'x.', 'Data', 'DATA']
    workbook = '<sheets>%s</sheets>' % ''.join(
        '<sheet name="%s" sheetId="%d" r:id="rId%d"/>'
        % (name.replace('<', '&lt;').replace('>', '&gt;'), n, n)
        for n, name in enumerate(names, 1))
    sheets = ['<row r="1"><c r="A1" t="inlineStr"><is><t>Sheet</t></is></c></row>'
              '<row r="2"><c r="A2"><v>%d</v></c></row>' % n for n in range(1, len(names) + 1)]
    write_package(os.path.join(folder('sheet-names'), 'input.xlsx'),
                  xlsx_parts(*TRANSITIONAL, workbook, sheets, '', STYLES))


def cell(value_type=None, paragraphs=(), **attributes):
    """A table cell; each paragraph is a list of strings and odf elements."""
    if value_type is not None:
        attributes['valuetype'] = value_type
    element = table.TableCell(**attributes)
    for content in paragraphs:
        paragraph = text.P()
        for part in content:
            if isinstance(part, str):
                paragraph.addText(part)
            else:
                paragraph.addElement(part)
        element.addElement(paragraph)
    return element


def ods_text():
    """Paragraph text (text:s, text:tab, text:line-break, spans, annotations) and value types."""
    doc = OpenDocumentSpreadsheet()
    sheet = table.Table(name='Notes')
    note = office.Annotation()
    note.addElement(text.P(text='not shown'))
    span = text.Span()
    span.addText('x<y')
    columns = [
        [cell('string', [['Text']]),
         cell('string', [['first'], ['second']]),
         cell('string', [['a', text.S(c=3), 'b']]),
         cell('string', [['col1', text.Tab(), 'col2']]),
         cell('string', [['up', text.LineBreak(), 'down']]),
         cell('string', [[note, span, ' & more']]),
         cell('string', [[text.S(), 'lead']])],
        [cell('string', [['Typed']]),
         cell('float', value='1.5'),
         cell('percentage', value='0.25'),
         cell('currency', value='12.5', currency='EUR'),
         cell('boolean', booleanvalue='true'),
         cell('date', datevalue='2024-02-29'),
         cell('time', timevalue='PT36H00M00S'),
         cell('time', timevalue='PT13H45M30S'),
         cell('date', datevalue='2024-02-29T13:45:30')],
    ]
    for r in range(max(len(column) for column in columns)):
        sheet.addElement(table_row(column[r] if r < len(column) else table.TableCell()
                                   for column in columns))
    doc.spreadsheet.addElement(sheet)
    doc.save(os.path.join(folder('ods-text'), 'input.ods'))


def active_table_settings(doc, name):
    views = config.ConfigItemSet(name='ooo:view-settings')
    indexed = config.ConfigItemMapIndexed(name='Views')
    entry = config.ConfigItemMapEntry()
    item = config.ConfigItem(name='ActiveTable', type='string')
    item.addText(name)
    entry.addElement(item)
    indexed.addElement(entry)
    views.addElement(indexed)
    doc.settings.addElement(views)


def table_row(cells, **attributes):
    row = table.TableRow(**attributes)
    for element in cells:
        row.addElement(element)
    return row


def ods_repeats():
    """Repeated rows and columns, a covered cell under a merge, and the second table active."""
    doc = OpenDocumentSpreadsheet()
    skipped = table.Table(name='Skip')
    skipped.addElement(table_row([cell('string', [['Wrong table']])]))
    doc.spreadsheet.addElement(skipped)
    data = table.Table(name='Data')
    data.addElement(table.TableColumn(numbercolumnsrepeated=1024))
    for row in [
            table_row([cell('string', [['Repeated']]),
                       cell('string', [['Wide']], numbercolumnsspanned=2), table.CoveredTableCell(),
                       cell('string', [['Ghost']]), table.TableCell(numbercolumnsrepeated=16380)]),
            table_row([cell('float', value='7', numbercolumnsrepeated=2)], numberrowsrepeated=3),
            table_row([cell('string', [['end']])]),
            table_row([table.TableCell(numbercolumnsrepeated=16384)], numberrowsrepeated=1048000),
            table_row([cell('string', [['past the last row']])], numberrowsrepeated=1000)]:
        data.addElement(row)
    doc.spreadsheet.addElement(data)
    active_table_settings(doc, 'Data')
    doc.save(os.path.join(folder('ods-repeats'), 'input.ods'))


def write(feature, name, data):
    with open(os.path.join(folder(feature), name), 'wb') as out:
        out.write(data)


XML2003_HEAD = '''<?xml version="1.0"?>
<?mso-application progid="Excel.Sheet"?>
<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:o="urn:schemas-microsoft-com:office:office"
 xmlns:x="urn:schemas-microsoft-com:office:excel"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:html="http://www.w3.org/TR/REC-html40">
'''


def data(kind, value, attributes=''):
    return '<Cell%s><Data ss:Type="%s">%s</Data></Cell>' % (attributes, kind, value)


def xml2003_cells():
    """The second sheet active, the 1904 date system, every data type, named and
    inherited number formats, HTML rich text, merges, ss:Index and ss:Span.
    The merge across D1:E1 leaves E1 empty, which ends the walk: "After merge"
    stands in F1 and is not shown. Row 8 spans rows 8-9, so the row after it is
    row 10, past the empty row 9."""
    rows = [
        ('', [data('String', 'Text'), data('String', 'Number'), data('String', 'Date'),
              data('String', 'Merged', ' ss:MergeAcross="1"'), data('String', 'After merge')]),
        ('', ['<Cell><ss:Data ss:Type="String" xmlns="http://www.w3.org/TR/REC-html40">'
              '<B>Bold</B> and <Font html:Color="#FF0000">red</Font></ss:Data></Cell>',
              data('Number', '1.5'), data('DateTime', '2024-02-29T00:00:00.000'),
              data('String', 'tall', ' ss:MergeDown="1"')]),
        (' ss:Index="3"', [data('String', '007'), data('Boolean', '1'),
                           data('Number', '1', ' ss:StyleID="sDate"')]),
        ('', [data('String', 'line1&#10;line2'), data('Error', '#DIV/0!'),
              data('Number', '0.5', ' ss:StyleID="sTime"')]),
        ('', [data('String', '  spaced  '), data('Number', '0.25', ' ss:StyleID="sPercent"'),
              data('Number', '45000', ' ss:StyleID="sChild"')]),
        ('', ['<Cell><Data ss:Type="String">noted</Data><Comment ss:Author="A">'
              '<ss:Data xmlns="http://www.w3.org/TR/REC-html40">not shown</ss:Data></Comment></Cell>',
              data('Number', '1234.5', ' ss:StyleID="sStandard"'),
              data('DateTime', '1904-01-01T13:45:30.000')]),
        ('', [data('String', '2024-01-01', ' ss:StyleID="sDate"'),
              data('Number', '12', ' ss:StyleID="sCurrency"'),
              data('DateTime', '2024-02-29T13:45:30.000')]),
        (' ss:Span="1"', [data('String', 'last'), data('Number', '1E+020'),
                          data('DateTime', '1904-01-01T36:00:00.000')]),
        ('', [data('String', 'after the span'), data('Number', '2'), data('Number', '3')]),
    ]
    table = ''.join('   <Row%s>\n    %s\n   </Row>\n' % (attributes, '\n    '.join(cells))
                    for attributes, cells in rows)
    document = XML2003_HEAD + '''<ExcelWorkbook xmlns="urn:schemas-microsoft-com:office:excel">
  <ActiveSheet>1</ActiveSheet>
  <Date1904/>
 </ExcelWorkbook>
 <Styles>
  <Style ss:ID="Default" ss:Name="Normal"><NumberFormat/></Style>
  <Style ss:ID="sDate"><NumberFormat ss:Format="Short Date"/></Style>
  <Style ss:ID="sTime"><NumberFormat ss:Format="Long Time"/></Style>
  <Style ss:ID="sPercent"><NumberFormat ss:Format="Percent"/></Style>
  <Style ss:ID="sStandard"><NumberFormat ss:Format="Standard"/></Style>
  <Style ss:ID="sCurrency"><NumberFormat ss:Format="Currency"/></Style>
  <Style ss:ID="sCode"><NumberFormat ss:Format="yyyy\\-mm\\-dd;@"/></Style>
  <Style ss:ID="sChild" ss:Parent="sCode"><Font ss:Bold="1"/></Style>
 </Styles>
 <Worksheet ss:Name="Skipped">
  <Table><Row><Cell><Data ss:Type="String">Wrong sheet</Data></Cell></Row></Table>
 </Worksheet>
 <Worksheet ss:Name="Cells">
  <Table ss:ExpandedColumnCount="6" ss:ExpandedRowCount="10">
   <Column ss:Index="3" ss:Width="80"/>
''' + table + '''  </Table>
  <WorksheetOptions xmlns="urn:schemas-microsoft-com:office:excel"><Selected/></WorksheetOptions>
 </Worksheet>
</Workbook>
'''
    write('xml2003-cells', 'input.xml', document.encode('utf-8'))


def ods_flat():
    """A flat OpenDocument spreadsheet: its settings, ahead of the body, make the
    second table active; its null date is 1904-01-01."""
    office = 'urn:oasis:names:tc:opendocument:xmlns:'
    document = '''<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="%(o)soffice:1.0" xmlns:table="%(o)stable:1.0"
 xmlns:text="%(o)stext:1.0" xmlns:config="%(o)sconfig:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:settings>
  <config:config-item-set config:name="ooo:view-settings">
   <config:config-item-map-indexed config:name="Views">
    <config:config-item-map-entry>
     <config:config-item config:name="ActiveTable" config:type="string">Second</config:config-item>
    </config:config-item-map-entry>
   </config:config-item-map-indexed>
  </config:config-item-set>
 </office:settings>
 <office:body>
  <office:spreadsheet>
   <table:calculation-settings><table:null-date table:date-value="1904-01-01"/></table:calculation-settings>
   <table:table table:name="First">
    <table:table-row><table:table-cell office:value-type="string"><text:p>Wrong table</text:p></table:table-cell></table:table-row>
   </table:table>
   <table:table table:name="Second">
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Day</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Count</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="date" office:date-value="2024-02-29"/>
     <table:table-cell office:value-type="float" office:value="3"/>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="time" office:time-value="PT12H00M00S"/>
     <table:table-cell office:value-type="boolean" office:boolean-value="false"/>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="date" office:date-value="1904-01-02"/>
     <table:table-cell office:value-type="string"><text:p>a<text:s text:c="2"/>b</text:p></table:table-cell>
    </table:table-row>
   </table:table>
  </office:spreadsheet>
 </office:body>
</office:document>
''' % {'o': office}
    write('ods-flat', 'input.fods', document.encode('utf-8'))


def html_table():
    """A page as a reporting tool writes it: a script and a paragraph before the
    table, a caption and a header row, white space, <br>, inline and block markup,
    a nested table, <pre>, a no-break space, spans, and a second table. D3 spans
    two rows, so the fourth cell of row 4 moves on to E4; A6 spans two columns,
    which leaves B6 empty."""
    document = '''<!DOCTYPE html>
<!-- written by a reporting tool -->
<html>
<head>
<meta charset="utf-8">
<title>Report</title>
<style>td { color: red }</style>
<script>document.write("<table><tr><td>not this</td></tr></table>");</script>
</head>
<body>
<p>Quarterly figures, not a table.</p>
<table border="1">
 <caption>Report caption</caption>
 <thead>
  <tr><th>ID</th><th>Name</th><th>Notes</th><th>Region</th><th>Code</th></tr>
 </thead>
 <tbody>
  <tr>
   <td>007</td>
   <td>  Ada
        Lovelace  </td>
   <td>first<br>second</td>
   <td>North</td>
   <td>x&lt;y &amp; z</td>
  </tr>
  <tr><td>008</td><td><b>Grace</b> <i>Hopper</i></td><td><p>para one</p><p>para two</p></td>
   <td rowspan="2">South</td><td>A&nbsp;1</td></tr>
  <tr><td>009</td><td>shown<script>hidden();</script></td>
   <td><table><tr><td>n1</td><td>n2</td></tr><tr><td>n3</td></tr></table></td><td>shifted</td></tr>
  <tr><td>010</td><td>Line one<br></td><td><pre>  keep   spaces</pre></td><td>West</td><td>e5</td></tr>
  <tr><td colspan="2">wide span</td><td>last note</td><td></td><td>e6</td></tr>
 </tbody>
</table>
<table><tr><td>second table</td></tr></table>
</body>
</html>
'''
    write('html-table', 'input.html', document.encode('utf-8'))


# Raw fields, as written, of the delimited-text fixture: RFC 4180 quoting, a quote
# inside an unquoted field, text after a closing quote, spaces kept, a line break
# inside a field, the empty quoted field that ends Note, and after an empty line
# a record that no column reaches.
CSV_RECORDS = [
    ['ID', 'Name', 'Note', 'Value'],
    ['007', '"Smith, John"', '"x"y', '2024-02-29'],
    ['0042', '"say ""hi"""', 'a"b', '29/02/2024'],
    ['1e5', ' spaced ', '""', 'TRUE'],
    ['=1+1', '"multi\r\nline"', 'after', '"1,5"'],
    [''],
    ['hidden', 'after', 'the', 'gap'],
]


def csv_text():
    """The same records as UTF-8 with a byte-order mark, comma-separated with CR LF
    (input.csv), and as UTF-16 little-endian with its mark, TAB-separated with LF
    (input.tsv)."""
    comma = ''.join(','.join(record) + '\r\n' for record in CSV_RECORDS)
    write('csv-text', 'input.csv', b'\xef\xbb\xbf' + comma.encode('utf-8'))
    tab = ''.join('\t'.join(record) + '\n' for record in CSV_RECORDS)
    write('csv-text', 'input.tsv', b'\xff\xfe' + tab.encode('utf-16-le'))


def csv_western():
    """Semicolon-separated Windows-1252 text without a mark, as a German Excel saves
    it: decimal commas stay as written."""
    text = ('Stadt;Betrag;Größe\n'
            'Köln;1,5;€ 5\n'
            'Zürich;2,25;naïve – dash\n'
            '"Sankt; Gallen";-0,5;"quoted"\n')
    write('csv-western', 'input.csv', text.encode('cp1252'))


STEPS = {
    'copies': copies_of_xls_fixtures,
    'openpyxl': openpyxl_book,
    'xlsx-cell-kinds': xlsx_cell_kinds,
    'xlsx-strict': xlsx_strict,
    'xlsx-no-workbook-rels': xlsx_no_workbook_rels,
    'sheet-names': sheet_names,
    'ods-text': ods_text,
    'ods-repeats': ods_repeats,
    'flat-and-text-copies': flat_and_text_copies,
    'xml2003-cells': xml2003_cells,
    'ods-flat': ods_flat,
    'html-table': html_table,
    'csv': lambda: (csv_text(), csv_western()),
}

if __name__ == '__main__':
    for step in sys.argv[1:] or STEPS:
        STEPS[step]()
