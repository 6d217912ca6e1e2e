"""Reads an exported file with an independent reader and compares it with the expected cells.

usage: export_check.py FORMAT FILE EXPECTED.json
FORMAT is xls, xlsx, xml, txt or html. EXPECTED holds the captions, the kinds, the spreadsheet format codes
and per row the cells as [value, shown text] (value null for a blank cell). Prints "OK" and the number of
cells compared, or the first mismatches.
"""
import datetime
import json
import sys

fmt, path, expected_path = sys.argv[1:4]
with open(expected_path, encoding="utf-8") as f:
    expected = json.load(f)
captions, kinds, codes, rows = expected["captions"], expected["kinds"], expected["formats"], expected["rows"]
problems = []
compared = 0


def problem(text):
    if len(problems) < 20:
        problems.append(text)


def same_number(a, b, kind):
    if kind == "currency":
        return round(a, 4) == round(b, 4)
    return abs(a - b) <= 1e-9 * max(1.0, abs(b))


def date_text(moment, kind):
    moment = moment + datetime.timedelta(microseconds=500000)  # to the nearest second
    return moment.strftime("%Y-%m-%d" if kind == "date" else "%Y-%m-%d %H:%M:%S")


def check_sheet_rows(sheets, read_row):
    """sheets: list of (sheet, row count); each sheet starts with the caption row."""
    global compared
    r = 0
    for index, (sheet, count) in enumerate(sheets):
        got = read_row(sheet, 0)
        if [c[1] for c in got] != captions:
            problem(f"sheet {index + 1} captions {[c[1] for c in got]}")
        for sr in range(1, count):
            got = read_row(sheet, sr)
            if r >= len(rows):
                problem(f"extra row {r}")
                return
            for c, (value, shown) in enumerate(rows[r]):
                compared += 1
                kind = kinds[c]
                ctype, v, code = got[c] if c < len(got) else ("blank", None, "")
                where = f"row {r} col {c}"
                if value is None:
                    if ctype != "blank":
                        problem(f"{where}: expected blank, got {ctype} {v!r}")
                elif kind == "text":
                    if ctype != "text" or v != value:
                        problem(f"{where}: expected text {value!r}, got {ctype} {v!r}")
                elif kind in ("number", "currency"):
                    if ctype != "number" or not same_number(v, value, kind):
                        problem(f"{where}: expected number {value!r}, got {ctype} {v!r}")
                else:
                    if ctype != "date" or date_text(v, kind) != value:
                        problem(f"{where}: expected date {value!r}, got {ctype} {v!r}")
                if value is not None and codes[c] and code != codes[c]:
                    problem(f"{where}: expected format {codes[c]!r}, got {code!r}")
            r += 1
    if r != len(rows):
        problem(f"{r} rows read, {len(rows)} expected")


def check_xls():
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)

    def read_row(sheet, r):
        out = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            code = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
            if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                out.append(("blank", None, code))
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                out.append(("text", cell.value, code))
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                out.append(("number", cell.value, code))
            elif cell.ctype == xlrd.XL_CELL_DATE:
                out.append(("date", xlrd.xldate.xldate_as_datetime(cell.value, book.datemode), code))
            else:
                out.append((f"type{cell.ctype}", cell.value, code))
        return out

    sheets = [(book.sheet_by_index(i), book.sheet_by_index(i).nrows) for i in range(book.nsheets)]
    check_sheet_rows(sheets, read_row)
    return len(sheets)


def check_xlsx():
    import openpyxl
    book = openpyxl.load_workbook(path, read_only=True)
    sheets = []
    for ws in book.worksheets:
        sheets.append(([list(r) for r in ws.iter_rows()], None))
    sheets = [(cells, len(cells)) for cells, _ in sheets]

    def read_row(cells, r):
        out = []
        for cell in cells[r]:
            v = getattr(cell, "value", None)
            code = getattr(cell, "number_format", "")
            if v is None:
                out.append(("blank", None, code))
            elif isinstance(v, str):
                out.append(("text", v, code))
            elif isinstance(v, datetime.datetime):
                out.append(("date", v, code))
            elif isinstance(v, (int, float)):
                out.append(("number", float(v), code))
            else:
                out.append((type(v).__name__, v, code))
        return out

    check_sheet_rows(sheets, read_row)
    return len(sheets)


def check_shown(table):
    """table: the captions row then the rows, as shown texts."""
    global compared
    if not table or table[0] != captions:
        problem(f"captions {table[0] if table else None}")
        return
    if len(table) - 1 != len(rows):
        problem(f"{len(table) - 1} rows read, {len(rows)} expected")
    for r, got in enumerate(table[1:len(rows) + 1]):
        shown = [s for _, s in rows[r]]
        compared += len(shown)
        if got != shown:
            problem(f"row {r}: expected {shown!r}, got {got!r}")


def check_xml():
    global compared
    import xml.etree.ElementTree as ET
    root = ET.parse(path).getroot()
    columns = root.find("columns").findall("column")
    if [c.get("caption") for c in columns] != captions:
        problem(f"captions {[c.get('caption') for c in columns]}")
    table = [captions]
    for row_index, row in enumerate(root.find("rows").findall("row")):
        cells = row.findall("cell")
        table.append([c.text or "" for c in cells])
        if row_index < len(rows):
            for c, cell in enumerate(cells):
                value = rows[row_index][c][0]
                if kinds[c] in ("number", "currency") and value is not None:
                    if not same_number(float(cell.get("value")), value, kinds[c]):
                        problem(f"row {row_index} col {c}: value {cell.get('value')!r}, expected {value!r}")
    check_shown(table)


def check_txt():
    with open(path, encoding="utf-8-sig", newline="") as f:
        text = f.read()
    if not text.endswith("\r\n"):
        problem("last line does not end in CR LF")
    check_shown([line.split("\t") for line in text[:-2].split("\r\n")])


def check_html():
    from html.parser import HTMLParser

    class Cells(HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.table, self.cell = [], None

        def handle_starttag(self, tag, attrs):
            if tag == "tr":
                self.table.append([])
            elif tag in ("td", "th"):
                self.cell = ""

        def handle_endtag(self, tag):
            if tag in ("td", "th"):
                self.table[-1].append(self.cell)
                self.cell = None

        def handle_data(self, data):
            if self.cell is not None:
                self.cell += data

    parser = Cells()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    check_shown(parser.table)


sheets = {"xls": check_xls, "xlsx": check_xlsx, "xml": check_xml, "txt": check_txt, "html": check_html}[fmt]()
if problems:
    print("\n".join(problems))
else:
    print(f"OK {compared}" + (f" sheets {sheets}" if sheets else ""))
