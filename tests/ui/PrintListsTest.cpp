// Printing the shown lists: every kind of element of a competition of the
// stand-in server printed to PDF and read back with pdftotext, against the
// HTML page the export writes of the same lists; the layout of long and wide
// lists; the two commands of the "Outils" menu.
#include "MainFixture.h"

#include "export/Export.h"
#include "ui/print/ListsPrint.h"
#include "ui/print/ShownLists.h"
#include "workbook/Workbook.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>

#include <fstream>
#include <sstream>

using namespace tavlor;
using namespace tavlor::test;

namespace {

using Words = QStringList;

QString ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return QString::fromStdString(all.str());
}

// Spaces of any kind count alike: numbers group their thousands with no-break spaces.
Words Split(QString text) {
    text.replace(QChar(0x00A0), u' ').replace(QChar(0x202F), u' ');
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// A text without its spaces: pdftotext guesses spaces from the gaps between
// letters, and sees none in "0 %" where it sees one in "100 %".
QString Squeezed(const QString& text) {
    return Split(text).join(QString());
}

// Whether the words come in that order in the squeezed line.
bool InOrder(const QString& line, const Words& wanted) {
    qsizetype at = 0;
    for (const QString& w : wanted) {
        const qsizetype found = line.indexOf(w, at);
        if (found < 0) return false;
        at = found + w.size();
    }
    return true;
}

// The PDF's text laid out as on the page, one entry per page.
QStringList PdfPages(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

// Whether the PDF's first page is wider than high, as pdfinfo tells.
bool Landscape(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QString::fromStdString(pdf)});
    p.waitForFinished(60000);
    static const QRegularExpression sizeRe(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+)"));
    const auto m = sizeRe.match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() && m.captured(1).toDouble() > m.captured(2).toDouble();
}

// The right edge of the rightmost word of the PDF, in points.
double RightmostWord(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QString::fromStdString(pdf), QStringLiteral("-")});
    p.waitForFinished(60000);
    static const QRegularExpression xMaxRe(QStringLiteral("xMax=\"([0-9.]+)\""));
    double right = 0;
    for (auto m = xMaxRe.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); m.hasNext();) {
        right = std::max(right, m.next().captured(1).toDouble());
    }
    return right;
}

// The first page where a word reaches down to the page number's line, 0 when none.
int PageWithRowsOverItsFoot(const std::string& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QString::fromStdString(pdf), QStringLiteral("-")});
    p.waitForFinished(60000);
    static const QRegularExpression wordRe(
        QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">([^<]*)<"));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QStringLiteral("<page "));
    for (qsizetype n = 1; n < pages.size(); ++n) {
        std::vector<std::pair<double, double>> words;  // top, bottom
        double foot = 0;
        for (auto m = wordRe.globalMatch(pages[n]); m.hasNext();) {
            const auto w = m.next();
            const double top = w.captured(1).toDouble();
            if (w.captured(3) == QLatin1String("Page")) foot = std::max(foot, top);
            words.emplace_back(top, w.captured(2).toDouble());
        }
        for (const auto& [top, bottom] : words) {
            if (top < foot && bottom > foot) return static_cast<int>(n);
        }
    }
    return 0;
}

// The tables of the export's HTML page: rows of cells, the header row first.
using Table = std::vector<QStringList>;
std::vector<Table> HtmlTables(const QString& page) {
    std::vector<Table> tables;
    static const QRegularExpression cellRe(QStringLiteral("<td[^>]*>(.*?)</td>"));
    for (const QString& line : page.split(u'\n')) {
        if (line.startsWith(QLatin1String("<table"))) tables.emplace_back();
        if (!line.startsWith(QLatin1String("<tr>")) || tables.empty()) continue;
        QStringList cells;
        for (auto m = cellRe.globalMatch(line); m.hasNext();) {
            QString text = m.next().captured(1);
            text.replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&#39;"), QLatin1String("'"))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
            cells << text;
        }
        tables.back().push_back(cells);
    }
    return tables;
}

// Checks the printed pages against the tables: each row on a line of its
// own in the tables' order, its values in order, each table's header words and caption above its
// first row on every page it covers, "Page n / N" on each page. Answers an
// empty text when all holds, else what is wrong.
QString CheckPrinted(const QStringList& pages, const std::vector<Table>& tables, const QStringList& captions) {
    const int count = static_cast<int>(pages.size());
    if (count == 0) return QStringLiteral("no page");
    std::vector<std::pair<int, QString>> lines;  // page, squeezed line
    for (int p = 0; p < count; ++p) {
        // The page number alone on the page's last line: no row runs into the foot.
        const QStringList text = pages[p].trimmed().split(u'\n');
        if (text.back().trimmed() != QStringLiteral("Page %1 / %2").arg(p + 1).arg(count)) {
            return QStringLiteral("page %1 does not end with its number").arg(p + 1);
        }
        for (const QString& line : pages[p].split(u'\n')) lines.emplace_back(p, Squeezed(line));
    }
    std::size_t next = 0;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        Words header;
        for (const QString& label : tables[t][0]) header << Split(label);
        int page = -1;
        std::size_t pageStart = 0;
        for (std::size_t r = 1; r < tables[t].size(); ++r) {
            Words row;
            for (const QString& cell : tables[t][r]) row << Split(cell);
            while (next < lines.size() && !InOrder(lines[next].second, row)) ++next;
            if (next == lines.size()) {
                return QStringLiteral("table %1 row %2 not found on one line after the previous: %3")
                    .arg(t)
                    .arg(r)
                    .arg(row.join(u' '));
            }
            if (lines[next].first != page) {
                // The first row of the table on this page: its header words and caption above it.
                page = lines[next].first;
                for (pageStart = next; pageStart > 0 && lines[pageStart - 1].first == page;) --pageStart;
                QString above;
                for (std::size_t l = pageStart; l < next; ++l) above += lines[l].second;
                for (const QString& w : header) {
                    if (!above.contains(w)) {
                        return QStringLiteral("header word %1 of table %2 missing above its rows on page %3")
                            .arg(w)
                            .arg(t)
                            .arg(page + 1);
                    }
                }
                if (!InOrder(above, Split(captions.value(static_cast<qsizetype>(t))))) {
                    return QStringLiteral("caption of table %1 missing on page %2").arg(t).arg(page + 1);
                }
            }
            ++next;
        }
    }
    return {};
}

// A workbook of one list: a header row and `rows` rows of `cols` columns.
workbook::TWorkbook SyntheticBook(int rows, int cols, int sheets = 1) {
    workbook::TWorkbook book;
    int n = 0;
    for (int s = 0; s < sheets; ++s) {
        workbook::TSheet& sheet = book.AddSheet("Liste");
        for (int c = 1; c <= cols; ++c) {
            sheet.SetText(1, c, c == 1 ? std::string("Nom du joueur") : "Col " + std::to_string(c));
            if (c > 1) sheet.SetColumnNumberFormat(c, "#,##0.000");
        }
        for (int r = 2; r <= rows + 1; ++r) {
            ++n;
            sheet.SetText(r, 1, "Joueur" + std::to_string(n));
            for (int c = 2; c <= cols; ++c) sheet.SetNumber(r, c, n * 1000.0 + c + 0.5);
        }
    }
    return book;
}

std::vector<Table> SyntheticTables(const ui::TListsPrint& print) {
    std::vector<Table> tables;
    for (std::size_t l = 0; l < print.ListCount(); ++l) {
        Table t;
        for (std::size_t r = 0; r < print.RowCount(l); ++r) {
            QStringList cells;
            for (std::size_t c = 0; c < print.ColCount(l); ++c) cells << print.Text(l, r, c);
            t.push_back(cells);
        }
        tables.push_back(t);
    }
    return tables;
}

}  // namespace

class PrintListsTest : public QObject {
    Q_OBJECT

    static QAction* Act(TMainFixture& f, const char* name) { return f.Main->findChild<QAction*>(QLatin1String(name)); }

private slots:
    void everyKindOfElementPrintsWhatTheExportWrites() {
        TMainFixture f;
        f.Load(1201, "3bandes", "Finale de France");
        const TNodeHandle pool = f.Find(NodePool, 101);
        const struct {
            TNodeHandle Node;
            const char* Name;
        } elements[] = {{f.Find(NodePhase, 1), "phase"},
                        {pool, "pool"},
                        {f.Dm->RegistrantsNode, "registrants"},
                        {f.Dm->Tree.Child(f.Dm->RegistrantsNode, 2), "registrant"},
                        {f.Dm->Tree.Child(pool, 1), "member"}};
        const QString competition = QString::fromStdString(f.Compet->Message());
        QVERIFY(!competition.isEmpty());
        for (const auto& e : elements) {
            QVERIFY2(e.Node != 0, e.Name);
            f.Focus(e.Node);
            // The export's HTML page of these lists.
            Act(f, "ExportHtml")->trigger();
            const std::vector<Table> tables = HtmlTables(ReadFile(f.Program->Export().GetNomFichierExport(".html")));
            QVERIFY2(!tables.empty() && tables[0].size() > 1, e.Name);

            const std::string pdf = f.Dir.File(std::string("liste ") + e.Name + ".pdf");
            f.Boxes.Chosen.push_back(pdf);
            Act(f, "ExportPdf")->trigger();
            QVERIFY2(f.Boxes.TopErrors.empty() && f.Boxes.Errors.empty(), e.Name);
            QCOMPARE(f.Shell.Files.back(), pdf);
            const QStringList pages = PdfPages(pdf);
            QVERIFY2(!pages.isEmpty(), e.Name);

            // The title: the competition, the element as the tree names it, the date.
            const QString first = pages[0];
            QVERIFY2(first.contains(competition), e.Name);
            QVERIFY2(first.contains(f.Text(e.Node)), e.Name);
            QVERIFY2(
                first.contains(
                    QStringLiteral("Imprimé le %1").arg(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))),
                e.Name);
            if (e.Node == f.Dm->Tree.Child(pool, 1)) {
                QVERIFY2(first.contains(f.Text(pool) + QStringLiteral(" - ") + f.Text(e.Node)),
                         "member after its pool");
            }
            QStringList captions{f.Main->ClassementLbl()->text(), f.Main->MatchsLbl()->text()};
            if (tables.size() == 1 && f.Dm->Tables.FiltreJoueurs.IsEmpty()) captions.removeFirst();
            const QString fault = CheckPrinted(pages, tables, captions);
            QVERIFY2(fault.isEmpty(), qPrintable(QLatin1String(e.Name) + QStringLiteral(": ") + fault));
        }
        QVERIFY(f.Boxes.TopErrors.empty());
    }

    void aLongListRunsOverPagesHeaderAndCaptionRepeated() {
        TTempDir dir;
        const workbook::TWorkbook book = SyntheticBook(260, 4);
        ui::TListsPrint print({QStringLiteral("Open de Nîmes"), QStringLiteral("Phase 1"), QStringLiteral("Imprimé")},
                              book, {{QStringLiteral("Classement final"), {0}}});
        QCOMPARE(print.RowCount(0), std::size_t(261));
        QCOMPARE(print.Text(0, 0, 1), QStringLiteral("Col 2"));
        QCOMPARE(print.Text(0, 260, 2), QString::fromUtf8("260\u00A0003,500"));  // the column's own number format
        const std::string pdf = dir.File("long.pdf");
        ui::WriteListsPdf(print, pdf);
        const QStringList pages = PdfPages(pdf);
        QVERIFY(pages.size() >= 4);
        QVERIFY(!Landscape(pdf));  // portrait suffices
        QCOMPARE(PageWithRowsOverItsFoot(pdf), 0);
        const QString fault = CheckPrinted(pages, SyntheticTables(print), {QStringLiteral("Classement final")});
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(pages[1].contains(QStringLiteral("Classement final (suite)")));
        QVERIFY(pages[1].contains(QStringLiteral("Open de Nîmes - Phase 1")));
        QVERIFY(!pages[0].contains(QStringLiteral("(suite)")));
        // Every row exactly once: none cut, none repeated at a page's turn.
        const QString all = pages.join(u'\n');
        for (const int n : {1, 57, 58, 59, 120, 260}) {
            const QString name = QStringLiteral("Joueur%1 ").arg(n);
            QCOMPARE(all.count(name), qsizetype(1));
        }
    }

    void aLongLayoutCanBeStoppedAndLeavesTheOlderFileAsItWas() {
        TTempDir dir;
        const workbook::TWorkbook book = SyntheticBook(260, 4);
        ui::TListsPrint print({QStringLiteral("C"), QString(), QString()}, book, {{QStringLiteral("L"), {0}}});
        const std::string pdf = dir.File("long.pdf");
        // Told of every page in turn.
        std::vector<int> seen;
        int total = 0;
        QVERIFY(ui::WriteListsPdf(print, pdf, [&](int page, int pages) {
            seen.push_back(page);
            total = pages;
            return true;
        }));
        QVERIFY(total >= 4);
        QCOMPARE(static_cast<int>(seen.size()), total);
        QCOMPARE(seen.front(), 1);
        const QString written = ReadFile(pdf);
        // Stopped at the third page: nothing written, the older file kept whole.
        QVERIFY(!ui::WriteListsPdf(print, pdf, [](int page, int) { return page < 3; }));
        QCOMPARE(ReadFile(pdf), written);
        QVERIFY(!ui::WriteListsPdf(print, dir.File("none.pdf"), [](int, int) { return false; }));
        QVERIFY(!QFile::exists(QString::fromStdString(dir.File("none.pdf"))));
    }

    void theProgressBoxStopsTheLayoutWithAnnuler() {
        ui::TPrintProgress progress(nullptr);
        QVERIFY(progress.Page(1, 711));
        QProgressDialog* box = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QProgressDialog*>(w)) box = d;
        }
        QVERIFY(box != nullptr);
        QCOMPARE(box->labelText(), QStringLiteral("Mise en page : page 1 sur 711"));
        box->cancel();
        QVERIFY(!progress.Page(2, 711));
    }

    void furtherSheetsContinueTheirListWithoutRepeatingTheHeaderAsARow() {
        const workbook::TWorkbook book = SyntheticBook(30, 3, 2);
        ui::TListsPrint print({QStringLiteral("C"), QString(), QString()}, book, {{QStringLiteral("L"), {0, 1}}});
        QCOMPARE(print.ListCount(), std::size_t(1));
        QCOMPARE(print.RowCount(0), std::size_t(61));
        QCOMPARE(print.Text(0, 31, 0), QStringLiteral("Joueur31"));
        // A list without sheets prints nothing, not an empty frame.
        ui::TListsPrint empty({QStringLiteral("C"), QString(), QString()}, book, {{QStringLiteral("L"), {}}});
        QCOMPARE(empty.ListCount(), std::size_t(0));
    }

    void wideListsTurnThePageAndShrinkToItsWidth() {
        TTempDir dir;
        const workbook::TWorkbook narrow = SyntheticBook(5, 4);
        const workbook::TWorkbook wide = SyntheticBook(5, 14);
        const workbook::TWorkbook huge = SyntheticBook(5, 40);
        ui::TListsPrint n({QStringLiteral("C"), QString(), QString()}, narrow, {{QStringLiteral("L"), {0}}});
        ui::TListsPrint w({QStringLiteral("C"), QString(), QString()}, wide, {{QStringLiteral("L"), {0}}});
        ui::TListsPrint h({QStringLiteral("C"), QString(), QString()}, huge, {{QStringLiteral("L"), {0}}});
        QPdfWriter probe(dir.File("probe.pdf").c_str());
        QCOMPARE(n.BestOrientation(probe), QPageLayout::Portrait);
        QCOMPARE(w.BestOrientation(probe), QPageLayout::Landscape);
        const double margin = 12 / 25.4 * 72;
        for (const auto* print : {&w, &h}) {
            const std::string pdf = dir.File("wide.pdf");
            ui::WriteListsPdf(*print, pdf);
            QVERIFY(Landscape(pdf));
            // Where the layout put the list's right edge, with the fonts this
            // machine gives: the last column's figures end there, less the cell's
            // padding, within the right margin of an A4 page across.
            QPdfWriter page(dir.File("page.pdf").c_str());
            ui::SetUpPage(page, *print);
            const double width = print->LaidOutWidth(0, page) * 72 / page.resolution();
            QVERIFY(width <= 842 - 2 * margin + 0.5);
            if (print == &h) QVERIFY2(width > 842 - 2 * margin - 0.5, "shrunk to the page's width");
            const double edge = margin + width;
            const double right = RightmostWord(pdf);
            QVERIFY2(right > edge - ui::TListsPrint::CellPadding() - 1.5 && right < edge + 0.5,
                     qPrintable(QStringLiteral("%1 against %2").arg(right).arg(edge)));
            const QStringList pages = PdfPages(pdf);
            QCOMPARE(pages.size(), qsizetype(1));
            // The last column is on the page: its header and every value.
            const QString fault = CheckPrinted(pages, SyntheticTables(*print), {QStringLiteral("L")});
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    }

    void menuItemsComeLastInTheToolsMenu() {
        TMainFixture f;
        auto* tools = f.Main->findChild<QMenu*>(QStringLiteral("MenuOutils"));
        QVERIFY(tools != nullptr);
        const QList<QAction*> items = tools->actions();
        QVERIFY(items.size() >= 2);
        QCOMPARE(items[items.size() - 2], f.Action(TCommandId::PrintLists));
        QCOMPARE(items.back(), f.Action(TCommandId::ExportPdf));
        QCOMPARE(items[items.size() - 2]->text().remove(u'&'), QStringLiteral("Imprimer..."));
        QCOMPARE(items.back()->text().remove(u'&'), QStringLiteral("Exporter vers PDF"));
        QCOMPARE(items[items.size() - 2]->shortcut(), QKeySequence(QKeySequence::Print));
        QAction* print = Act(f, "PrintLists");
        QAction* pdf = Act(f, "ExportPdf");
        QVERIFY(!print->isEnabled() && !pdf->isEnabled());  // nothing open yet
        f.Load(1201);
        QVERIFY(print->isEnabled() && pdf->isEnabled());
        // Detached from its data module at the program's end, the window runs no command.
        f.Main->Detach();
        f.Boxes.Chosen.push_back(f.Dir.File("late.pdf"));
        pdf->trigger();
        print->trigger();
        QVERIFY(f.Boxes.Files.empty() && f.Shell.Files.empty());
        QVERIFY(f.Boxes.Errors.empty() && f.Boxes.TopErrors.empty());
    }

    void pdfFileNameAnswersAndFailures() {
        TMainFixture f;
        f.Load(1201);
        f.Focus(f.Find(NodePool, 101));
        QAction* pdf = Act(f, "ExportPdf");
        const std::string proposed = f.Program->Export().GetNomFichierExport(".pdf");

        // Cancelled: no file, nothing opened; the export's name was proposed.
        pdf->trigger();
        QCOMPARE(f.Boxes.Files.size(), std::size_t(1));
        QCOMPARE(f.Boxes.Files[0], "documents PDF|*.pdf|tous fichiers|*.*|" + proposed);
        QVERIFY(f.Shell.Files.empty());
        QVERIFY(!QFile::exists(QString::fromStdString(proposed)));

        // A name typed without the extension gets it.
        f.Boxes.Chosen.push_back(f.Dir.File("poule A"));
        pdf->trigger();
        QCOMPARE(f.Shell.Files.back(), f.Dir.File("poule A.pdf"));
        QVERIFY(QFile::exists(QString::fromStdString(f.Dir.File("poule A.pdf"))));

        // No application for PDF files: said, the file stays.
        f.Shell.Outcome.Result = TShellOutcome::TResult::NoAssociation;
        f.Boxes.Chosen.push_back(f.Dir.File("b.PDF"));
        pdf->trigger();
        QCOMPARE(f.Boxes.Errors.size(), std::size_t(1));
        QCOMPARE(f.Boxes.Errors[0], "Aucun lecteur de documents PDF ne semble installé\r\nOuverture de " +
                                        f.Dir.File("b.PDF") + " impossible, le document est dans ce fichier");
        QVERIFY(QFile::exists(QString::fromStdString(f.Dir.File("b.PDF"))));

        // A folder that does not exist: the error ends the command, nothing is opened.
        f.Shell.Outcome.Result = TShellOutcome::TResult::Opened;
        const std::size_t opened = f.Shell.Files.size();
        const std::string nowhere = f.Dir.File("absent/x.pdf");
        f.Boxes.Chosen.push_back(nowhere);
        pdf->trigger();
        QCOMPARE(f.Boxes.TopErrors.size(), std::size_t(1));
        QVERIFY(f.Boxes.TopErrors[0].find(nowhere) != std::string::npos);
        QCOMPARE(f.Shell.Files.size(), opened);

        // An older file is replaced whole.
        const QString poolCaption = f.Main->ClassementLbl()->text();
        const std::string again = f.Dir.File("poule A.pdf");
        QVERIFY(PdfPages(again).join(QString()).contains(poolCaption));
        f.Focus(f.Dm->RegistrantsNode);
        f.Boxes.Chosen.push_back(again);
        pdf->trigger();
        const QString replaced = PdfPages(again).join(QString());
        QVERIFY(replaced.contains(f.Main->ClassementLbl()->text()));
        QVERIFY(!replaced.contains(poolCaption));
    }

    void nothingShownNothingPrinted() {
        TMainFixture f;
        f.Load(1201);
        // A new, empty pool: no player, no match.
        f.Login();
        std::int32_t id = -1;
        QVERIFY(f.Compet->AddPoule(1, 0, "Poule vide", &id));
        QVERIFY(f.Find(NodePool, id) != 0);
        f.Focus(f.Find(NodePool, id));
        QVERIFY(f.Dm->Tables.FiltreJoueurs.IsEmpty() && f.Dm->Tables.FiltreMatchs.IsEmpty());
        Act(f, "ExportPdf")->trigger();
        Act(f, "PrintLists")->trigger();
        QCOMPARE(f.Boxes.Errors, (std::vector<std::string>{"Aucune donnée à exporter", "Aucune donnée à exporter"}));
        QVERIFY(f.Boxes.Files.empty());
        QVERIFY(f.Shell.Files.empty());
    }

    void printPreviewShowsThePages() {
        TMainFixture f;
        f.Load(1201);
        f.Focus(f.Dm->RegistrantsNode);
        f.Main->show();
        int previewPages = -1;
        QString title;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) return;
            title = dialog->windowTitle();
            if (auto* widget = dialog->findChild<QPrintPreviewWidget*>()) previewPages = widget->pageCount();
            dialog->reject();
        });
        Act(f, "PrintLists")->trigger();
        QCOMPARE(title, QStringLiteral("Aperçu avant impression"));
        f.Boxes.Chosen.push_back(f.Dir.File("same.pdf"));
        Act(f, "ExportPdf")->trigger();
        QCOMPARE(previewPages, static_cast<int>(PdfPages(f.Dir.File("same.pdf")).size()));
        QVERIFY(previewPages >= 1);
        QVERIFY(f.Boxes.TopErrors.empty() && f.Boxes.Errors.empty());
    }
};

QTEST_MAIN(PrintListsTest)
#include "PrintListsTest.moc"
