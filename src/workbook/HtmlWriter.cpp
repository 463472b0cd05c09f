#include "workbook/HtmlWriter.h"

#include "workbook/FileOutput.h"
#include "workbook/NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <unordered_map>

namespace tavlor::workbook::detail {

namespace {

// Numbers in CSS take a decimal point.
std::string CssNumber(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::round(v * 100) / 100);
    return std::string(buf, r.ptr);
}

// A font family name inside double quotes.
std::string CssFamily(const std::string& name) {
    std::string out;
    for (const char c : name.empty() ? std::string("Arial") : name) {
        if (c != '"' && c != '\\' && c != '<' && c != '>' && c != ';' && c != '{' && c != '}') {
            out.push_back(c);
        }
    }
    return out;
}

// One CSS class per look: font, alignment and wrapping, plus the right alignment
// that "general" gives numbers. Looked up per column, where the look mostly repeats.
class TStyles {
public:
    explicit TStyles(const TBookData& book) : Book_(book) { MemoTag_.fill(nullptr); }

    // The opening tag of a cell.
    const std::string& OpenTag(const TCell& cell) {
        const bool number = cell.Kind == TCellKind::Number || cell.Kind == TCellKind::Date;
        const std::uint32_t key = cell.Font | (std::uint32_t{cell.Align} << 16) |
                                  (number && HAlignOf(cell.Align) == THAlign::General ? 1u << 24 : 0u);
        if (MemoTag_[cell.Col] != nullptr && MemoKey_[cell.Col] == key) {
            return *MemoTag_[cell.Col];
        }
        const auto [at, inserted] = Tags_.try_emplace(key);
        if (inserted) {
            if (key == 0) {
                at->second = "<td>";
            } else {
                const std::string name = "c" + std::to_string(Rules_.size() + 1);
                at->second = "<td class=\"" + name + "\">";
                Rules_.push_back("." + name + " {" + Rule(cell.Font, cell.Align, key >> 24 != 0) + " }\n");
            }
        }
        MemoKey_[cell.Col] = key;
        MemoTag_[cell.Col] = &at->second;
        return at->second;
    }

    // Gives every look of the sheet its class, before the style sheet is written.
    void Collect(const TSheetData& sheet) {
        for (const auto& row : sheet.Rows) {
            for (const TCell& cell : row) {
                OpenTag(cell);
            }
        }
    }

    std::string Css() const {
        std::string css;
        for (const std::string& rule : Rules_) {
            css += rule;
        }
        return css;
    }

private:
    std::string Rule(std::uint16_t fontIndex, std::uint8_t align, bool rightAligned) const {
        std::string rule;
        if (fontIndex != 0) {
            const TFont& font = Book_.Fonts[fontIndex];
            rule += " font-family: \"" + CssFamily(font.Name) + "\";";
            rule += " font-size: " + CssNumber(std::isfinite(font.Size) ? font.Size : 10) + "pt;";
            if (font.Bold) {
                rule += " font-weight: bold;";
            }
            if (font.Italic) {
                rule += " font-style: italic;";
            }
            if (font.Underline || font.StrikeOut) {
                rule += " text-decoration:";
                rule += font.Underline ? " underline" : "";
                rule += font.StrikeOut ? " line-through" : "";
                rule += ";";
            }
            if (font.Color) {
                char buf[16];
                std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(*font.Color & 0xFFFFFF));
                rule += std::string(" color: ") + buf + ";";
            }
        }
        switch (HAlignOf(align)) {
            case THAlign::Left:
                rule += " text-align: left;";
                break;
            case THAlign::Center:
                rule += " text-align: center;";
                break;
            case THAlign::Right:
                rule += " text-align: right;";
                break;
            case THAlign::General:
                rule += rightAligned ? " text-align: right;" : "";
                break;
        }
        switch (VAlignOf(align)) {
            case TVAlign::Center:
                rule += " vertical-align: middle;";
                break;
            case TVAlign::Top:
                rule += " vertical-align: top;";
                break;
            case TVAlign::Bottom:
                break;
        }
        if (WrapOf(align)) {
            rule += " white-space: pre-wrap;";
        }
        return rule;
    }

    const TBookData& Book_;
    std::unordered_map<std::uint32_t, std::string> Tags_;  // nodes: the memo's pointers stay valid
    std::vector<std::string> Rules_;
    std::array<std::uint32_t, 256> MemoKey_{};
    std::array<const std::string*, 256> MemoTag_{};
};

class TFormats {
public:
    explicit TFormats(const TBookData& book) : Book_(book), Compiled_(book.Formats.size()) {}

    const TNumberFormat& Get(std::uint16_t format) {
        auto& compiled = Compiled_[format];
        if (!compiled) {
            compiled = std::make_unique<TNumberFormat>(Book_.Formats[format]);
        }
        return *compiled;
    }

private:
    const TBookData& Book_;
    std::vector<std::unique_ptr<TNumberFormat>> Compiled_;
};

constexpr std::size_t kChunk = 1 << 20;

void WriteTable(std::string& out, const TWriter& write, const TBookData& book, const TSheetData& sheet, TStyles& styles,
                TFormats& formats) {
    out += "<table>\n<caption>";
    AppendEscaped(out, sheet.Name);
    out += "</caption>\n";

    std::size_t columns = static_cast<std::size_t>(sheet.ColCount);
    for (std::size_t c = 0; c < sheet.Columns.size(); ++c) {
        if (sheet.Columns[c].Width >= 0) {
            columns = std::max(columns, c + 1);
        }
    }
    if (columns > 0) {
        // Widths count characters of the standard font, which is what "ch" measures.
        out += "<colgroup>";
        for (std::size_t c = 0; c < columns; ++c) {
            if (c < sheet.Columns.size() && sheet.Columns[c].Width >= 0) {
                out += "<col style=\"width: " + CssNumber(sheet.Columns[c].Width) + "ch\">";
            } else {
                out += "<col>";
            }
        }
        out += "</colgroup>\n";
    }

    for (const auto& row : sheet.Rows) {
        out += "<tr>";
        std::size_t next = 0;
        for (const TCell& cell : row) {
            for (; next < cell.Col; ++next) {
                out += "<td></td>";
            }
            next = cell.Col + 1u;
            out += styles.OpenTag(cell);
            switch (cell.Kind) {
                case TCellKind::Blank:
                    break;
                case TCellKind::Text:
                    AppendEscaped(out, book.Strings[cell.Text]);
                    break;
                case TCellKind::Number:
                case TCellKind::Date:
                    formats.Get(EffectiveFormat(book, sheet, cell)).Append(out, cell.Number);
                    break;
            }
            out += "</td>";
        }
        for (; next < static_cast<std::size_t>(sheet.ColCount); ++next) {
            out += "<td></td>";
        }
        out += "</tr>\n";
        if (out.size() >= kChunk) {
            write(out);
            out.clear();
        }
    }
    out += "</table>\n";
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F ||
            (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
             static_cast<unsigned char>(text[i + 1]) <= 0x9F)) {
            // Control characters are no text a page may hold, not even as
            // numeric references (a parser reports &#1; or &#13; as errors):
            // tab and line feed stay, a carriage return becomes the line feed
            // a parser would read anyway (dropped before a line feed), and the
            // others, the C1 controls among them (the five bytes Windows-1252
            // leaves undefined), show the replacement mark U+FFFD.
            if (byte == '\t' || byte == '\n') {
                continue;
            }
            out.append(text, start, i - start);
            if (byte == '\r') {
                if (i + 1 >= text.size() || text[i + 1] != '\n') out += '\n';
            } else {
                out += "\xEF\xBF\xBD";
            }
            i += byte == 0xC2 ? 1 : 0;
            start = i + 1;
            continue;
        }
        switch (text[i]) {
            case '&':
                entity = "&amp;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            case '"':
                entity = "&quot;";
                break;
            case '\'':
                entity = "&#39;";
                break;
            default:
                continue;
        }
        out.append(text, start, i - start);
        out += entity;
        start = i + 1;
    }
    out.append(text, start, text.size() - start);
}

void WriteHtml(const TBookData& book, const std::vector<const TSheetData*>& sheets, std::string_view title,
               const TWriter& write) {
    TStyles styles(book);
    for (const TSheetData* sheet : sheets) {
        styles.Collect(*sheet);
    }
    TFormats formats(book);

    std::string out;
    out.reserve(kChunk + (64 << 10));
    out +=
        "<!DOCTYPE html>\n"
        "<html lang=\"fr\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<title>";
    AppendEscaped(out, title);
    out +=
        "</title>\n"
        "<style>\n"
        "body { font-family: \"Arial\", sans-serif; font-size: 10pt; }\n"
        "table { border-collapse: collapse; font-family: \"Arial\", sans-serif; font-size: 10pt; margin-bottom: 2em; "
        "}\n"
        "caption { text-align: left; font-weight: bold; padding: 0.3em 0; }\n"
        "td { border: 1px solid #d4d4d4; padding: 1px 4px; white-space: pre; vertical-align: bottom; }\n";
    out += styles.Css();
    out +=
        "</style>\n"
        "</head>\n"
        "<body>\n";
    for (const TSheetData* sheet : sheets) {
        WriteTable(out, write, book, *sheet, styles, formats);
    }
    out +=
        "</body>\n"
        "</html>\n";
    write(out);
}

}  // namespace tavlor::workbook::detail
