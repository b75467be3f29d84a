#!/usr/bin/python3
"""The same document zerova writes, built in Python with xlrd, for bench/peers.sh.

    /usr/bin/python3 bench/xlrd_lines.py SHEET.xls

reads the first sheet with xlrd (Debian's python3-xlrd) and writes
./xmlstructure.xml as zerova would for the benchmark sheets of make_sheets.py:
row 1's labels, each column's values down to the first empty cell, numbers as
"%.15G", the same escaping, CR LF after every line; the document goes out in one
write, as a program free of zerova's per-line file operations would write it.
Only the cell kinds those sheets hold (text, numbers, booleans) are handled.
"""

import sys

import xlrd


def escape(value):
    for plain, reference in (("&", "&amp;"), ("<", "&lt;"), (">", "&gt;"), ('"', "&quot;"),
                             ("\r", "&#13;"), ("\n", "&#10;"), ("\t", "&#9;")):
        value = value.replace(plain, reference)
    return value


def text(cell):
    if cell.ctype == xlrd.XL_CELL_TEXT:
        return cell.value
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        return "0" if cell.value == 0 else "%.15G" % cell.value
    if cell.ctype == xlrd.XL_CELL_BOOLEAN:
        return "True" if cell.value else "False"
    return ""


def main():
    sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
    lines = ['<?xml version="1.0" encoding="UTF-8"?><Main>']
    for column in range(sheet.ncols):
        label = text(sheet.cell(0, column))
        if label == "":
            break
        lines.append('<node id="n%d" lbl="%s">' % (column + 1, escape(label)))
        for row in range(1, sheet.nrows):
            value = text(sheet.cell(row, column))
            if value == "":
                break
            lines.append("<value>%s</value>" % escape(value))
        lines.append("</node>")
    lines.append("</Main>")
    with open("xmlstructure.xml", "w", encoding="utf-8", newline="") as document:
        document.write("".join(line + "\r\n" for line in lines))


if __name__ == "__main__":
    main()
