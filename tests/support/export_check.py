"""Reads an exported file with an independent reader and compares it with the expected cells.

usage: export_check.py FORMAT FILE EXPECTED.json
FORMAT is xls, xlsx, xml, txt or html: FILE is the exported file, read as it is. Or it is office-xls,
office-xlsx, office-xml, office-txt or office-html: FILE is then an exported file of that format as a
spreadsheet program opened it and saved it again as ".xlsx" (see CheckInOffice), and the check is what a
person sees there: no cell is a formula, texts stay texts, numbers and dates keep their values.
EXPECTED holds the captions, the kinds, the spreadsheet format codes and per row the cells as
[value, shown text, is a text cell] (value null for a blank cell). Prints "OK" and the number of cells compared, or the
first mismatches.
"""
import datetime
import json
import re
import sys

fmt, path, expected_path = sys.argv[1:4]
with open(expected_path, encoding="utf-8") as f:
    expected = json.load(f)
captions, kinds, codes, rows = expected["captions"], expected["kinds"], expected["formats"], expected["rows"]
problems = []
compared = 0


def problem(text):
    if len(problems) < 20:
        problems.append(text if len(text) <= 300 else text[:300] + "...")


def same_number(a, b, kind):
    if kind == "currency":
        return round(a, 4) == round(b, 4)
    return abs(a - b) <= 1e-9 * max(1.0, abs(b))


def date_text(moment, kind):
    moment = moment + datetime.timedelta(microseconds=500000)  # to the nearest second
    return moment.strftime("%Y-%m-%d" if kind == "date" else "%Y-%m-%d %H:%M:%S")


def runs_as_formula(text):
    """What the text export guards: a leading =, +, -, @, tab or CR, unless the text is a negative number."""
    if not text or text[0] not in "=+-@\t\r":
        return False
    return not re.fullmatch(r"-\d+(,\d+)*(\.\d+)?", text)


def same_code(got, want):
    """Format codes as a spreadsheet may rewrite them: escapes, quotes and letter case aside."""
    def plain(code):
        return re.sub(r'[\\"]', "", code or "").lower()
    return plain(got) == plain(want)


def check_sheet_rows(sheets, read_row, text_of=lambda value, shown: value, codes_as_written=True,
                     text_format=False):
    """sheets: list of (sheet, row count); each sheet starts with the caption row. text_of gives the text a
    text cell should hold from its value and shown text; codes_as_written compares format codes as written (else
    as a spreadsheet may rewrite them); text_format requires the text format on text cells."""
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
            for c, (value, shown, text) in enumerate(rows[r]):
                compared += 1
                kind = kinds[c]
                ctype, v, code = got[c] if c < len(got) else ("blank", None, "")
                where = f"row {r} col {c}"
                if value is None:
                    if ctype != "blank":
                        problem(f"{where}: expected blank, got {ctype} {v!r}")
                elif ctype == "formula":
                    problem(f"{where}: a formula {v!r} where {shown!r} was written")
                elif text:
                    if ctype != "text" or v != text_of(value, shown):
                        problem(f"{where}: expected text {text_of(value, shown)!r}, got {ctype} {v!r}")
                    elif text_format and code != "@":
                        problem(f"{where}: text cell without the text format, format {code!r}")
                elif kind in ("number", "currency"):
                    if ctype != "number" or not same_number(v, value, kind):
                        problem(f"{where}: expected number {value!r}, got {ctype} {v!r}")
                else:
                    if ctype != "date" or date_text(v, kind) != value:
                        problem(f"{where}: expected date {value!r}, got {ctype} {v!r}")
                if not text and value is not None and codes[c]:
                    if code != codes[c] if codes_as_written else not same_code(code, codes[c]):
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
            elif getattr(cell, "data_type", "") == "f":
                out.append(("formula", v, code))
            elif isinstance(v, str):  # the reader leaves control characters escaped as the format writes them
                out.append(("text", re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), v), code))
            elif isinstance(v, datetime.datetime):
                out.append(("date", v, code))
            elif isinstance(v, (int, float)):
                out.append(("number", float(v), code))
            else:
                out.append((type(v).__name__, v, code))
        return out

    check_sheet_rows(sheets, read_row)
    return len(sheets)


def check_shown(table, written=None):
    """table: the captions row then the rows, as shown texts; written: the texts expected instead of the
    shown ones, where the format changes them."""
    global compared
    if not table or table[0] != captions:
        problem(f"captions {table[0] if table else None}")
        return
    if len(table) - 1 != len(rows):
        problem(f"{len(table) - 1} rows read, {len(rows)} expected")
    for r, got in enumerate(table[1:len(rows) + 1]):
        shown = written[r] if written else [cell[1] for cell in rows[r]]
        compared += len(shown)
        if got != shown:
            problem(f"row {r}: expected {shown!r}, got {got!r}")


def check_xml():
    """The workbook in XML Spreadsheet 2003 format, read with the standard XML parser."""
    import xml.etree.ElementTree as ET
    ns = "{urn:schemas-microsoft-com:office:spreadsheet}"
    root = ET.parse(path).getroot()
    if root.tag != ns + "Workbook":
        problem(f"root element {root.tag}")
        return 0
    formats = {}
    for style in root.iter(ns + "Style"):
        number = style.find(ns + "NumberFormat")
        formats[style.get(ns + "ID")] = number.get(ns + "Format") if number is not None else ""

    def cells_of(row):
        out, column = [], 0
        for cell in row.findall(ns + "Cell"):
            if cell.get(ns + "Index"):
                target = int(cell.get(ns + "Index")) - 1
                out.extend([("blank", None, "")] * (target - column))
                column = target
            data = cell.find(ns + "Data")
            kind, text = data.get(ns + "Type"), data.text or ""
            code = formats.get(cell.get(ns + "StyleID"), "")
            if cell.get(ns + "Formula"):
                out.append(("formula", cell.get(ns + "Formula"), code))
            elif kind == "String":
                out.append(("text", text, code))
            elif kind == "Number":
                out.append(("number", float(text), code))
            elif kind == "DateTime":
                out.append(("date", datetime.datetime.fromisoformat(text), code))
            else:
                out.append((kind, text, code))
            column += 1
        return out + [("blank", None, "")] * (len(captions) - column)

    sheets = []
    for sheet in root.findall(ns + "Worksheet"):
        table = [cells_of(row) for row in sheet.find(ns + "Table").findall(ns + "Row")]
        sheets.append((table, len(table)))
    check_sheet_rows(sheets, lambda table, r: table[r])
    return len(sheets)


def txt_cell(text, shown):
    """What the text export writes for a cell: the shown text, a text that would run as a formula with an
    apostrophe before it, and tabs and line breaks as blanks."""
    if text and runs_as_formula(shown):
        shown = "'" + shown
    return re.sub(r"[\t\r\n]", " ", shown)


def check_txt():
    with open(path, encoding="utf-8-sig", newline="") as f:
        text = f.read()
    if not text.endswith("\r\n"):
        problem("last line does not end in CR LF")
    table = [line.split("\t") for line in text[:-2].split("\r\n")]
    written = [[txt_cell(text, shown) for _, shown, text in row] for row in rows]
    check_shown(table, written)


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


def office_cells(book_path):
    """The sheets of a workbook a spreadsheet program saved, with every cell as (kind, value, format)."""
    import openpyxl
    book = openpyxl.load_workbook(book_path)
    sheets = []
    for ws in book.worksheets:
        table = []
        for row in ws.iter_rows(min_col=1, max_col=max(ws.max_column, len(captions))):
            cells = []
            for cell in row:
                v, code = cell.value, cell.number_format
                if cell.data_type == "f" or (isinstance(v, str) and cell.data_type != "s" and v.startswith("=")):
                    cells.append(("formula", v, code))
                elif v is None:
                    cells.append(("blank", None, code))
                elif isinstance(v, bool):
                    cells.append(("bool", v, code))
                elif isinstance(v, str):
                    cells.append(("text", line_breaks_as_lf(v), code))
                elif isinstance(v, (datetime.datetime, datetime.date)):
                    cells.append(("date", v, code))
                elif isinstance(v, (int, float)):
                    cells.append(("number", float(v), code))
                else:
                    cells.append((type(v).__name__, v, code))
            table.append(cells)
        sheets.append((table, len(table)))
    return sheets


def line_breaks_as_lf(text):
    """A spreadsheet keeps a line break in a cell as LF, whether CR LF, CR or LF was written."""
    return re.sub(r"\r\n?", "\n", text)


def collapsed(text):
    """Text as HTML shows it: runs of white space as one blank, none at the ends."""
    return re.sub(r"[ \t\r\n]+", " ", text).strip()


def as_cell_holds(text):
    """The text cut where a spreadsheet cell ends: 32,767 UTF-16 code units."""
    units = text.encode("utf-16-le")
    return units[:2 * 32767].decode("utf-16-le", errors="ignore") if len(units) > 2 * 32767 else text


def check_office_txt(sheets):
    """A text file leaves the spreadsheet to guess each cell: no cell may be a formula, a text keeps what was
    written, and where the spreadsheet reads a number, a date or a truth value it is the written one."""
    global compared
    table, count = sheets[0]
    got = [c[1] for c in table[0][:len(captions)]]
    if got != captions:
        problem(f"captions {got}")
    if count - 1 != len(rows):
        problem(f"{count - 1} rows read, {len(rows)} expected")
    for r, row in enumerate(rows[:count - 1]):
        for c, (value, shown, text) in enumerate(row):
            compared += 1
            want = txt_cell(text, shown)
            ctype, v, _ = table[r + 1][c]
            where = f"row {r} col {c}"
            if ctype == "formula":
                problem(f"{where}: a formula {v!r} where {want!r} was written")
            elif ctype == "blank":
                if want.strip():
                    problem(f"{where}: blank where {want!r} was written")
            elif ctype == "text":
                if v != as_cell_holds(want):
                    problem(f"{where}: text {v!r} where {want!r} was written")
            elif ctype == "number":
                try:  # a spreadsheet number holds 15 significant digits
                    written = float(want.replace(",", ""))
                    same = abs(v - written) <= 1e-14 * max(1.0, abs(written))
                except ValueError:
                    same = False
                if not same:
                    problem(f"{where}: number {v!r} where {want!r} was written")
            elif ctype == "date":
                if date_text(v, "date" if len(want) <= 10 else "datetime") != want:
                    problem(f"{where}: date {v!r} where {want!r} was written")
            elif ctype == "bool":
                if str(v).lower() != want.lower():
                    problem(f"{where}: truth value {v!r} where {want!r} was written")
            else:
                problem(f"{where}: {ctype} {v!r} where {want!r} was written")


def check_office(source):
    sheets = office_cells(path)
    if source == "txt":
        check_office_txt(sheets)
    elif source == "html":
        check_sheet_rows(sheets, lambda table, r: table[r], lambda value, shown: as_cell_holds(collapsed(shown)), False,
                         True)
    else:
        check_sheet_rows(sheets, lambda table, r: table[r], lambda value, shown: line_breaks_as_lf(value), False)
    return len(sheets)


if fmt.startswith("office-"):
    sheets = check_office(fmt[len("office-"):])
    print("\n".join(problems) if problems else f"OK {compared} sheets {sheets}")
    sys.exit(0)

sheets = {"xls": check_xls, "xlsx": check_xlsx, "xml": check_xml, "txt": check_txt, "html": check_html}[fmt]()
if problems:
    print("\n".join(problems))
else:
    print(f"OK {compared}" + (f" sheets {sheets}" if sheets else ""))
