// The workbook as an HTML page.
#include "SampleWorkbook.h"
#include "XlsReaders.h"

#include "workbook/Workbook.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace tavlor::workbook::test {
namespace {

const std::string kNbsp = "\xC2\xA0";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The CSS rule of the class a cell holding `content` is given.
std::string RuleOfCell(const std::string& page, const std::string& content) {
    std::smatch m;
    const std::regex cell("<td class=\"(c[0-9]+)\">" +
                          std::regex_replace(content, std::regex(R"([()\[\].*+?^$|{}\\])"), R"(\$&)") + "</td>");
    if (!std::regex_search(page, m, cell)) {
        return "(no class)";
    }
    const std::string cls = m[1];
    const std::regex rule("\\." + cls + " \\{([^}]*)\\}");
    return std::regex_search(page, m, rule) ? std::string(m[1]) : "(no rule)";
}

TEST(HtmlWriter, ShowsTheExportLayout) {
    const std::string page = SampleWorkbook().HtmlText("Open de Paris");

    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_TRUE(Contains(page, "<meta charset=\"utf-8\">"));
    EXPECT_TRUE(Contains(page, "<title>Open de Paris</title>"));
    EXPECT_TRUE(Contains(page, "<caption>Classement</caption>"));
    EXPECT_TRUE(Contains(page, "<caption>Matchs de Hervé</caption>"));
    EXPECT_TRUE(Contains(page, "</html>\n"));

    // Widths in characters, one <col> per column.
    EXPECT_TRUE(Contains(page,
                         "<colgroup><col style=\"width: 8ch\"><col style=\"width: 8ch\"><col style=\"width: 25ch\">"
                         "<col style=\"width: 10ch\"><col style=\"width: 10ch\"><col style=\"width: 10ch\">"
                         "<col style=\"width: 11ch\"></colgroup>"));

    // Header: bold Arial 10, centred, wrapped.
    const std::string header = RuleOfCell(page, "Licence");
    EXPECT_TRUE(Contains(header, "font-family: \"Arial\"")) << header;
    EXPECT_TRUE(Contains(header, "font-size: 10pt")) << header;
    EXPECT_TRUE(Contains(header, "font-weight: bold")) << header;
    EXPECT_TRUE(Contains(header, "text-align: center")) << header;
    EXPECT_TRUE(Contains(header, "vertical-align: middle")) << header;
    EXPECT_TRUE(Contains(header, "white-space: pre-wrap")) << header;

    // Values through their formats, French style.
    EXPECT_TRUE(Contains(RuleOfCell(page, "001234"), "text-align: center"));
    EXPECT_TRUE(Contains(RuleOfCell(page, "67 %"), "text-align: right"));
    EXPECT_FALSE(Contains(RuleOfCell(page, "67 %"), "bold"));
    EXPECT_TRUE(Contains(RuleOfCell(page, "1" + kNbsp + "234,5"), "text-align: right"));
    EXPECT_TRUE(Contains(RuleOfCell(page, "0,667"), "text-align: right"));
    EXPECT_TRUE(Contains(RuleOfCell(page, "06/05/2004"), "text-align: center"));
    EXPECT_TRUE(Contains(RuleOfCell(page, "2,675"), "text-align: right"));

    // Texts exact, escaped.
    EXPECT_TRUE(Contains(page, ">" + kAccentedName + "</td>"));
    EXPECT_TRUE(Contains(page, ">Zoé &lt;Tom &amp; Jerry&#39;s &quot;show&quot;&gt;</td>"));

    // A row of empty figures keeps its cells.
    EXPECT_TRUE(Contains(page, "Jerry&#39;s &quot;show&quot;&gt;</td><td class=\"c"));
    const std::regex emptyRow(R"(show&quot;&gt;</td>(<td class="c[0-9]+"></td>){4}</tr>)");
    EXPECT_TRUE(std::regex_search(page, emptyRow));
}

TEST(HtmlWriter, EscapesPlainNumbersFontsAndGaps) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("A<B & \"C\" 'D' x");
    sheet.SetNumber(1, 1, 2.5);   // no format: the plain value
    sheet.SetNumber(1, 3, 1e-3);  // column 2 left out
    sheet.SetText(2, 1, "a\tb");
    TFont font;
    font.Name = "Courier New";
    font.Size = 9.5;
    font.Italic = true;
    font.Underline = true;
    font.StrikeOut = true;
    font.Color = 0x1A2B3C;
    sheet.SetFont(2, 1, font);
    sheet.SetVAlign(2, 1, TVAlign::Top);

    const std::string page = book.HtmlText("x & y");
    EXPECT_TRUE(Contains(page, "<title>x &amp; y</title>"));
    EXPECT_TRUE(Contains(page, "<caption>A&lt;B &amp; &quot;C&quot; &#39;D&#39; x</caption>"));
    EXPECT_TRUE(Contains(page, "<tr><td class=\"c1\">2,5</td><td></td><td class=\"c1\">0,001</td></tr>"));
    EXPECT_TRUE(Contains(page, ".c1 { text-align: right; }"));
    EXPECT_TRUE(Contains(page, "<tr><td class=\"c2\">a\tb</td><td></td><td></td></tr>"));
    const std::string rule = RuleOfCell(page, "a\tb");
    EXPECT_EQ(rule,
              " font-family: \"Courier New\"; font-size: 9.5pt; font-style: italic; text-decoration: underline "
              "line-through; color: #1a2b3c; vertical-align: top; ");
}

TEST(HtmlWriter, ControlCharactersAreNeverWrittenRaw) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("S\x01");
    sheet.SetText(1, 1,
                  "a\x01"
                  "b\rc\x1F"
                  "\r\n"
                  "d\te\nf\x7F"
                  "g\xC2\x81h\xC2\x9D"
                  "i\xC2\xA0j\xC2\xA9");
    const std::string page = book.HtmlText("t\x02");
    const std::string mark = "\xEF\xBF\xBD";
    EXPECT_TRUE(Contains(page, "<title>t" + mark + "</title>"));
    EXPECT_TRUE(Contains(page, "<caption>S" + mark + "</caption>"));
    EXPECT_TRUE(Contains(
        page, ">a" + mark + "b\nc" + mark + "\nd\te\nf" + mark + "g" + mark + "h" + mark + "i\xC2\xA0j\xC2\xA9</td>"))
        << "tab and line feed stay, a carriage return is a line feed, a no-break space and other characters "
           "above U+009F stay too";
    EXPECT_FALSE(Contains(page, "&#")) << "no numeric reference to a control character";
    for (const char c : page) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_FALSE(byte < 0x20 && byte != '\t' && byte != '\n') << "raw control " << int{byte};
    }
    EXPECT_EQ(page.find("\xC2\x81"), std::string::npos);
    EXPECT_EQ(page.find("\xC2\x9D"), std::string::npos);
}

TEST(HtmlWriter, NumbersInTextAndElapsedFormats) {
    TWorkbook book;
    TSheet& sheet = book.AddSheet("S");
    sheet.SetNumber(1, 1, 1234.5);
    sheet.SetNumberFormat(1, 1, "@");
    sheet.SetNumber(1, 2, 1.5);
    sheet.SetNumberFormat(1, 2, "[h]:mm");
    sheet.SetNumber(1, 3, 38113 + 86399.6 / 86400);
    sheet.SetNumberFormat(1, 3, "dd/mm/yyyy");
    const std::string page = book.HtmlText("t");
    EXPECT_TRUE(Contains(page, ">1234,5</td>")) << "a number formatted as text is shown";
    EXPECT_TRUE(Contains(page, ">36:00</td>"));
    EXPECT_TRUE(Contains(page, ">06/05/2004</td>"));
}

TEST(HtmlWriter, SaveHtmlWritesThePageTitledByTheFileName) {
    TTempDir dir;
    const std::string path = dir.Path("Open de Paris.html");
    const TWorkbook book = SampleWorkbook();
    book.SaveHtml(path);
    EXPECT_EQ(ReadFile(path), book.HtmlText("Open de Paris"));

    // Saving again replaces the page and leaves no temporary file.
    TWorkbook other;
    other.AddSheet("Autre").SetText(1, 1, "deuxième");
    other.SaveHtml(path);
    EXPECT_EQ(ReadFile(path), other.HtmlText("Open de Paris"));
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"Open de Paris.html"});
}

}  // namespace
}  // namespace tavlor::workbook::test
