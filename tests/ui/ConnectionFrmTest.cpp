// The connection window driven by the real server link against the stand-in
// server: the login panel, the progress window and its Cancel; the version dialog.
#include "ui/dialogs/ConnectionFrm.h"

#include "text/Error.h"
#include "ui/DialogFixture.h"
#include "ui/dialogs/VersionFrm.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace tavlor;
using namespace tavlor::test;
using tavlor::ui::TConnectionFrm;
using Texts = std::vector<std::string>;

class ConnectionFrmTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TConnectionFrm> Frm;
    std::unique_ptr<TDialogWorld> W;

    template <class T>
    T* Child(const char* name) {
        T* w = Frm->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no control %s", name);
        return w;
    }
    QLineEdit* LogEdit() { return Child<QLineEdit>("LogEdit"); }
    QLineEdit* PassEdit() { return Child<QLineEdit>("PassEdit"); }
    // Opens the login window; act runs once it is shown.
    void Login(const std::function<void()>& act) {
        TModalWatchdog watchdog;
        bool acted = false;
        QTimer::singleShot(0, this, [&] {
            acted = true;
            act();
        });
        W->Www->ShowLogin();
        QVERIFY(acted);
        QVERIFY(!watchdog.Fired);
        QVERIFY(!Frm->isVisible());
    }
    void Type(const QString& id, const QString& password) {
        LogEdit()->setText(id);
        PassEdit()->setText(password);
    }

private slots:
    void initTestCase() {
        W = std::make_unique<TDialogWorld>();
        Frm = std::make_unique<TConnectionFrm>(W->Boxes);
        W->UseWindow(*Frm);
        Frm->SetLink(W->Www.get());
    }
    void init() {
        W->Server.Reset();
        W->Boxes.Clear();

        W->Compet.SetLogin("");
    }

    void windowLayout() {
        QCOMPARE(Frm->windowTitle(), QStringLiteral("connection internet"));
        QCOMPARE(Frm->size(), QSize(433, 79));
        QVERIFY(Frm->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(PassEdit()->echoMode(), QLineEdit::Password);
        QCOMPARE(Child<QLabel>("Label1")->text(), QStringLiteral("Identifiant de connexion"));
        QCOMPARE(Child<QLabel>("Label3")->text(), QStringLiteral("(numérique)"));
        QCOMPARE(Child<QLabel>("Label2")->text(), QStringLiteral("Mot de passe"));
        QCOMPARE(Child<QPushButton>("Button1")->text(), QStringLiteral("Annuler"));
        // Each button's text fits it in the font it has, within the window.
        for (const char* name : {"Button1", "LogBtn", "Button3"}) {
            auto* b = Child<QPushButton>(name);
            QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text()) + 12, name);
            QVERIFY2(b->geometry().right() < Frm->width(), name);
        }
        QWidget* w = LogEdit();
        QStringList order;
        for (int i = 0; i < 4; ++i, w = w->nextInFocusChain()) order << w->objectName();
        QCOMPARE(order, (QStringList{"LogEdit", "PassEdit", "LogBtn", "Button3"}));
    }

    void rightLoginWithEnterInThePasswordField() {
        Login([&] {
            QVERIFY(Frm->isModal());
            QVERIFY(Frm->LoginPanelVisible());
            QCOMPARE(Frm->focusWidget(), static_cast<QWidget*>(LogEdit()));
            Type("12", "carambole");
            QTest::keyClick(PassEdit(), Qt::Key_Return);
        });
        QCOMPARE(W->Compet.Login(), std::string("Jean Dupont (12)"));
        QVERIFY(W->Boxes.Errors.empty());
        QCOMPARE(W->Requests("logdlg1.php"), 1);
        QVERIFY(W->Server.Requests().back().Body.find("LOGIN=12&") != std::string::npos);
        QCOMPARE(PassEdit()->text(), QString());
        QVERIFY(Child<QLabel>("msg2Lbl")->text().startsWith(QStringLiteral("statut = ")));
        QCOMPARE(Child<QLabel>("Msg1Lbl")->text(), QStringLiteral("Interrogation du serveur pour identification ..."));
    }

    void wrongLoginClosesTheWindowEmptiesThePasswordAndKeepsTheIdentifier() {
        Login([&] {
            Type("34", "mauvais");
            Child<QPushButton>("LogBtn")->click();
        });
        QCOMPARE(W->Boxes.Errors.size(), std::size_t(1));
        QVERIFY(!W->Boxes.Errors[0].empty());
        QCOMPARE(W->Compet.Login(), std::string());
        QCOMPARE(PassEdit()->text(), QString());
        QString kept;
        Login([&] {
            kept = LogEdit()->text();
            Child<QPushButton>("Button3")->click();
        });
        QCOMPARE(kept, QStringLiteral("34"));
    }

    void identifierThatIsNoWholeNumberIsRefusedLocally_data() {
        QTest::addColumn<QString>("id");
        QTest::newRow("letters") << "abc";
        QTest::newRow("zero") << "0";
        QTest::newRow("empty") << "";
        QTest::newRow("too large") << "99999999999";
    }
    void identifierThatIsNoWholeNumberIsRefusedLocally() {
        QFETCH(QString, id);
        bool stillOpen = false, panel = false, retype = false;
        QString password;
        Login([&] {
            Type(id, "carambole");
            PassEdit()->setFocus();
            QTest::keyClick(PassEdit(), Qt::Key_Return);
            stillOpen = Frm->isVisible();
            panel = Frm->LoginPanelVisible();
            password = PassEdit()->text();
            // The identifier is typed again over the refused one.
            retype = Frm->focusWidget() == LogEdit() && LogEdit()->selectedText() == LogEdit()->text();
            Child<QPushButton>("Button3")->click();
        });
        QCOMPARE(W->Boxes.Errors, Texts{"L'identifiant de connexion doit être numérique"});
        QVERIFY(stillOpen);
        QVERIFY(panel);
        QVERIFY(retype);
        QCOMPARE(password, QStringLiteral("carambole"));
        QCOMPARE(W->Requests("logdlg1.php"), 0);
        PassEdit()->clear();
    }

    void cancelOfTheLoginPanelSendsNothing() {
        W->Compet.SetLogin("Jean Dupont (12)");
        Login([&] {
            Type("56", "");
            Child<QPushButton>("Button3")->click();
        });
        QCOMPARE(W->Requests("logdlg1.php"), 0);
        QCOMPARE(W->Compet.Login(), std::string("Jean Dupont (12)"));
        QVERIFY(W->Boxes.Errors.empty());
    }

    void cancelEndsASlowExchangeAtOnce() {
        W->Misbehave(fedserver::TMode::Delay, 1, "getlists.php", 3000);
        bool progressShown = false, onTop = false, blocking = false, busy = false;
        QString line;
        QTimer::singleShot(300, this, [&] {
            busy =
                QApplication::overrideCursor() != nullptr && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            progressShown = Frm->isVisible() && !Frm->LoginPanelVisible();
            blocking = QApplication::activeModalWidget() == Frm.get();
            onTop = Frm->windowFlags() & Qt::WindowStaysOnTopHint;
            line = Child<QLabel>("Msg1Lbl")->text();
            Child<QPushButton>("Button1")->click();
        });
        TTextGrid grid;
        QElapsedTimer clock;
        clock.start();
        bool raised = false;
        try {
            W->Www->ListCompets(grid);
        } catch (const Error&) {
            raised = true;
        }
        QVERIFY(raised);
        QVERIFY(clock.elapsed() < 2500);
        QVERIFY(progressShown);
        QVERIFY(busy);
        QVERIFY2(QApplication::overrideCursor() == nullptr, "the busy cursor goes with the exchange");
        QVERIFY(blocking);
        QVERIFY(onTop);
        QCOMPARE(line, QStringLiteral("Interrogation du serveur pour liste des compétitions ..."));
        QCOMPARE(W->Boxes.Informations, Texts{"Connexion annulée"});
        QVERIFY(!Frm->isVisible());
    }

    void escapeDuringAnExchangeCancelsItAsAnnulerDoes() {
        W->Misbehave(fedserver::TMode::Delay, 1, "getlists.php", 3000);
        QTimer::singleShot(300, this, [&] { QTest::keyClick(Frm.get(), Qt::Key_Escape); });
        TTextGrid grid;
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(Error, W->Www->ListCompets(grid));
        QVERIFY(clock.elapsed() < 2500);
        QCOMPARE(W->Boxes.Informations, Texts{"Connexion annulée"});
        QVERIFY(!Frm->isVisible());
    }

    void cancelDuringTheLoginExchangeEndsTheModalWindow() {
        W->Misbehave(fedserver::TMode::Delay, 1, "logdlg1.php", 3000);
        Login([&] {
            QTimer::singleShot(300, this, [&] { Child<QPushButton>("Button1")->click(); });
            Type("12", "carambole");
            Child<QPushButton>("LogBtn")->click();
        });
        // The cancel's box alone: the cancelled exchange ends the login without an error box.
        QCOMPARE(W->Boxes.Informations, Texts{"Connexion annulée"});
        QVERIFY(W->Boxes.TopErrors.empty());
        QVERIFY(W->Boxes.Errors.empty());
        QCOMPARE(W->Compet.Login(), std::string());
        QCOMPARE(PassEdit()->text(), QString());
    }

    void versionDialogShowsTheVersionEveryRequestSends() {
        ui::TVersionFrm version;
        QCOMPARE(version.windowTitle(), QStringLiteral("informations de Version"));
        const QString text = version.VersionText();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(text).hasMatch(), qPrintable(text));
        TTextGrid grid;
        W->Www->ListCompets(grid);
        QString sent = text;
        sent.replace(u'.', QStringLiteral("%2E"));
        QVERIFY(W->Server.Requests().back().Body.find("VTX=" + sent.toStdString() + "&") != std::string::npos);
        const QImage picture = ui::TVersionFrm::Picture().toImage();
        QCOMPARE(picture.size(), QSize(50, 50));
        int opaque = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) opaque += qAlpha(picture.pixel(x, y)) == 255;
        QVERIFY(opaque > 1000);
        auto* name = version.findChild<QLabel*>(QStringLiteral("NameLbl"));
        QCOMPARE(name->text(), QStringLiteral("Tavlor"));
        QVERIFY(name->font().pointSize() >= 16);
    }
};

QTEST_MAIN(ConnectionFrmTest)
#include "ConnectionFrmTest.moc"
