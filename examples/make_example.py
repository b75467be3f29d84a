#!/usr/bin/python3
"""Writes people.xls, the example sheet the README converts (needs Debian's python3-xlwt)."""
import datetime
import os

import xlwt

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("People")
date = xlwt.easyxf(num_format_str="yyyy-mm-dd")
rows = [
    ("Name", "City", "Joined", "Score", "Member"),
    ("Ada Lovelace", "London", datetime.date(2019, 3, 14), 97.5, True),
    ("Grace Hopper", "New York", datetime.date(2021, 11, 2), 99, True),
    ("José Martí", "La Habana", datetime.date(2024, 1, 28), 88.25, False),
    ("Søren & Co <Ltd>", "København", None, 0, None),
]
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        if value is None:
            continue
        if isinstance(value, datetime.date):
            sheet.write(r, c, value, date)
        else:
            sheet.write(r, c, value)
book.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "people.xls"))
