// The desktop shell opening an export: xdg-mime asked for the application of
// the file's type first, xdg-open started only when there is one. The
// programs are replaced, by functions or by scripts on the search path.
#include "ui/platform/DesktopShell.h"

#include "export/Export.h"
#include "model/dbLocal.h"
#include "support/ServerFakes.h"
#include "support/TempDir.h"

#include <QFile>
#include <QtTest>

#include <cerrno>
#include <fstream>

using namespace tavlor;
using tavlor::ui::TQtDesktopShell;
using TResult = TShellOutcome::TResult;

namespace {

// xdg-mime and xdg-open as functions: the answers set, the calls recorded.
struct TFakePrograms {
    QString FileType = QStringLiteral("application/vnd.ms-excel\n");
    QString Default;  // the application of that type; empty: none
    bool QueryRuns = true;
    bool Starts = true;
    QStringList Runs, Started;

    TQtDesktopShell Shell() {
        return TQtDesktopShell(
            [this](const QString& program, const QStringList& arguments) {
                Runs << program + u' ' + arguments.join(u' ');
                TQtDesktopShell::TRun run;
                run.Finished = QueryRuns;
                run.ExitCode = QueryRuns ? 0 : -1;
                run.Output = arguments.value(1) == QStringLiteral("filetype") ? FileType : Default;
                return run;
            },
            [this](const QString& program, const QStringList& arguments) {
                Started << program + u' ' + arguments.join(u' ');
                return Starts;
            });
    }
};

void WriteScript(const std::string& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    QFile::setPermissions(QString::fromStdString(path),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// PATH set to one folder for a test, then given back.
class TSearchPath {
public:
    explicit TSearchPath(const std::string& folder) : Old_(qgetenv("PATH")) {
        qputenv("PATH", QByteArray::fromStdString(folder));
    }
    ~TSearchPath() { qputenv("PATH", Old_); }

private:
    QByteArray Old_;
};

}  // namespace

class DesktopShellTest : public QObject {
    Q_OBJECT

    test::TTempDir Dir;
    std::string Xls;

private slots:
    void init() {
        Xls = Dir.File("Finale (3Bandes).xls");
        std::ofstream(Xls) << "classeur";
    }

    void aTypeWithoutApplicationIsNoAssociationAndNothingStarts() {
        TFakePrograms programs;
        const TShellOutcome out = programs.Shell().OpenFile(Xls);
        QCOMPARE(out.Result, TResult::NoAssociation);
        QCOMPARE(programs.Runs, QStringList({QStringLiteral("xdg-mime query filetype ") + QString::fromStdString(Xls),
                                             QStringLiteral("xdg-mime query default application/vnd.ms-excel")}));
        QVERIFY(programs.Started.isEmpty());
    }

    void aTypeWithAnApplicationIsOpenedWithXdgOpen() {
        TFakePrograms programs;
        programs.Default = QStringLiteral("libreoffice-calc.desktop\n");
        const TShellOutcome out = programs.Shell().OpenFile(Xls);
        QCOMPARE(out.Result, TResult::Opened);
        QCOMPARE(programs.Started, QStringList({QStringLiteral("xdg-open ") + QString::fromStdString(Xls)}));
        // A type given with its parameters is asked without them.
        programs.FileType = QStringLiteral("text/html; charset=us-ascii\n");
        programs.Runs.clear();
        QCOMPARE(programs.Shell().OpenFile(Xls).Result, TResult::Opened);
        QCOMPARE(programs.Runs.value(1), QStringLiteral("xdg-mime query default text/html"));
    }

    void whenXdgMimeCannotTellThereIsNoAssociation() {
        TFakePrograms programs;
        programs.Default = QStringLiteral("libreoffice-calc.desktop\n");
        programs.QueryRuns = false;  // missing, or failed
        QCOMPARE(programs.Shell().OpenFile(Xls).Result, TResult::NoAssociation);
        programs.QueryRuns = true;
        programs.FileType.clear();
        QCOMPARE(programs.Shell().OpenFile(Xls).Result, TResult::NoAssociation);
        QVERIFY(programs.Started.isEmpty());
    }

    void xdgOpenThatCannotStartFailsWithAText() {
        TFakePrograms programs;
        programs.Default = QStringLiteral("libreoffice-calc.desktop\n");
        programs.Starts = false;
        {
            TSearchPath path(Dir.Path());  // no xdg-open there
            const TShellOutcome out = programs.Shell().OpenFile(Xls);
            QCOMPARE(out.Result, TResult::Failed);
            QCOMPARE(out.Code, ENOENT);
            QCOMPARE(out.Text,
                     std::string("Le programme xdg-open, qui ouvre un fichier avec son application, est introuvable."));
        }
        WriteScript(Dir.File("xdg-open"), "exit 0\n");
        TSearchPath path(Dir.Path());
        const TShellOutcome out = programs.Shell().OpenFile(Xls);
        QCOMPARE(out.Result, TResult::Failed);
        QCOMPARE(out.Text, std::string("Le programme xdg-open n'a pas pu être lancé."));
    }

    void aMissingFileAsksNothing() {
        TFakePrograms programs;
        const TShellOutcome out = programs.Shell().OpenFile(Dir.File("absent.xls"));
        QCOMPARE(out.Result, TResult::Failed);
        QCOMPARE(out.Code, ENOENT);
        QCOMPARE(out.Text, std::string("Le fichier spécifié est introuvable."));
        QVERIFY(programs.Runs.isEmpty());
    }

    // What the volunteer sees: the export's own text when no program opens it.
    void theExportSaysSoWhenNoProgramOpensIt() {
        TFakePrograms programs;
        TQtDesktopShell shell = programs.Shell();
        TCompetition compet;
        TdmLocal dm(compet);
        test::TRecordingBoxes boxes;
        TExport exporter(dm, boxes, shell);
        exporter.OpenExported(Xls);
        QCOMPARE(boxes.Errors.size(), std::size_t(1));
        QCOMPARE(boxes.Errors[0], "Excel ne semple pas être installé, ou mal installé\r\nOuverture de " + Xls +
                                      " impossible, les données exportées sont dans ce fichier");
    }

    // The system's way, with scripts in the place of the desktop's programs.
    void theRealProgramsFoundOnTheSearchPath() {
        test::TTempDir bin;
        const std::string opened = bin.File("opened");
        // Shell built-ins only: the search path holds this folder alone.
        const std::string defaultFile = bin.File("default");
        WriteScript(bin.File("xdg-mime"),
                    "case \"$2\" in\n"
                    "  filetype) echo 'application/vnd.ms-excel' ;;\n"
                    "  default) [ -f '" +
                        defaultFile + "' ] && read -r app < '" + defaultFile +
                        "' && echo \"$app\" ;;\n"
                        "esac\n");
        TSearchPath path(bin.Path());
        TQtDesktopShell shell;
        QCOMPARE(shell.OpenFile(Xls).Result, TResult::NoAssociation);

        std::ofstream(bin.File("default")) << "libreoffice-calc.desktop\n";
        // No xdg-open yet: it cannot be started.
        const TShellOutcome missing = shell.OpenFile(Xls);
        QCOMPARE(missing.Result, TResult::Failed);
        QCOMPARE(missing.Code, ENOENT);

        WriteScript(bin.File("xdg-open"), "echo \"$1\" > '" + opened + "'\n");
        QCOMPARE(shell.OpenFile(Xls).Result, TResult::Opened);
        // Started on its own: what it was given appears once it has run.
        QTRY_COMPARE_WITH_TIMEOUT(FirstLine(opened), Xls, 20000);
    }
};

QTEST_MAIN(DesktopShellTest)
#include "DesktopShellTest.moc"
