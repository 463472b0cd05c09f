# Prints what xlrd reads from an .xls file, one tab-separated record a line, for
# the workbook tests to parse:
#   book    <sheet count> <date mode> <XF count> <font count> <FORMAT record count>
#   sheet   <index> <name> <rows> <columns>
#   colinfo <sheet> <column> <width> <format> <hidden>
#   rowinfo <sheet> <row> <height> <default height> <height mismatch>
#   cell    <sheet> <row> <column> <type> <value> <format> <bold> <italic>
#           <underline> <struck> <font name> <height> <colour> <halign> <valign> <wrap>
# Rows and columns count from 0. Types: text, number, date, blank, boolean, error.
# Texts escape backslash, tab and newline. With a second argument N, only the
# first N rows and the last row of each sheet are printed.
import sys

import xlrd

TYPES = {
    xlrd.XL_CELL_TEXT: "text",
    xlrd.XL_CELL_NUMBER: "number",
    xlrd.XL_CELL_DATE: "date",
    xlrd.XL_CELL_BLANK: "blank",
    xlrd.XL_CELL_BOOLEAN: "boolean",
    xlrd.XL_CELL_ERROR: "error",
}


def esc(value):
    return str(value).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def out(*fields):
    sys.stdout.write("\t".join(esc(f) for f in fields) + "\n")


def colour(book, index):
    rgb = book.colour_map.get(index)
    if rgb is None:
        return "auto"
    return "%02x%02x%02x" % rgb


def main():
    path = sys.argv[1]
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else None
    book = xlrd.open_workbook(path, formatting_info=True)
    out("book", book.nsheets, book.datemode, len(book.xf_list), len(book.font_list), len(book.format_list))
    for s in range(book.nsheets):
        sheet = book.sheet_by_index(s)
        out("sheet", s, sheet.name, sheet.nrows, sheet.ncols)
        for col in sorted(sheet.colinfo_map):
            info = sheet.colinfo_map[col]
            xf = book.xf_list[info.xf_index]
            out("colinfo", s, col, info.width, book.format_map[xf.format_key].format_str, info.hidden)
        for row in sorted(sheet.rowinfo_map):
            info = sheet.rowinfo_map[row]
            out("rowinfo", s, row, info.height, info.has_default_height, info.height_mismatch)
        rows = range(sheet.nrows)
        if limit is not None and sheet.nrows > limit:
            rows = list(range(limit)) + [sheet.nrows - 1]
        for r in rows:
            for c in range(sheet.row_len(r)):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                xf = book.xf_list[cell.xf_index]
                font = book.font_list[xf.font_index]
                value = cell.value if cell.ctype == xlrd.XL_CELL_TEXT else repr(float(cell.value or 0))
                out("cell", s, r, c, TYPES[cell.ctype], value, book.format_map[xf.format_key].format_str,
                    font.bold, font.italic, font.underline_type, font.struck_out, font.name, font.height,
                    colour(book, font.colour_index), xf.alignment.hor_align, xf.alignment.vert_align,
                    xf.alignment.text_wrapped)


if __name__ == "__main__":
    main()
