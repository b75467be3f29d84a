"""The hand-written inputs of make_office_fixtures.py: XML Spreadsheet 2003, flat
OpenDocument, HTML and delimited text, each written byte by byte, since no program
writes these cases on purpose. Each folder's expected.xml is written by hand, from
the conversion rules, and committed; nothing here writes one."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))


def write(feature, name, data):
    path = os.path.join(HERE, feature)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), 'wb') as out:
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
