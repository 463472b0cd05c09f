#include "ui/dialogs/ConnectionFrm.h"

#include "commands/UserBoxes.h"
#include "server/www.h"
#include "text/Error.h"
#include "ui/dialogs/DialogsMessages.h"
#include "ui/platform/KeyboardOwner.h"
#include "ui/platform/OnTop.h"
#include "ui/platform/QtText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tavlor::ui {

namespace {

constexpr int Width = 433;
constexpr int Height = 79;

QLabel* Label(QWidget* parent, const QString& text, int left, int top, int width, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(left, top, width, label->sizeHint().height());
    return label;
}

// The login panel's places are fixed: a label whose text is wider than its
// place gets a smaller font rather than losing its end.
void FitFont(QLabel* label, qreal scale = 1.0) {
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
    label->resize(label->width(), QFontMetrics(font).height());
}

QPushButton* Button(QWidget* parent, const char* text, int left, int top, const char* name) {
    auto* button = new QPushButton(Q(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    // 75 by 25, wider when the font needs it.
    const int width = std::max(75, button->fontMetrics().horizontalAdvance(button->text()) + 24);
    button->setGeometry(left + 75 - width, top, width, 25);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TConnectionFrm::TConnectionFrm(IUserBoxes& boxes, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      Boxes_(boxes) {
    setObjectName(QStringLiteral("TConnectionFrm"));
    setWindowTitle(Q(msg::dialogs::TitleConnection));
    setFixedSize(Width, Height);

    MsgPnl_ = new QWidget(this);
    MsgPnl_->setObjectName(QStringLiteral("MsgPnl"));
    MsgPnl_->setGeometry(0, 0, Width, Height);
    // The first line may run above the Cancel button.
    Msg1Lbl_ = Label(MsgPnl_, QString(), 16, 5, Width - 20, "Msg1Lbl");
    Msg2Lbl_ = Label(MsgPnl_, QString(), 40, 34, 296, "msg2Lbl");
    Button1_ = Button(MsgPnl_, msg::dialogs::Cancel, 344, 22, "Button1");
    Button1_->raise();

    // The login panel covers the message panel while it is shown.
    LogPnl_ = new QWidget(this);
    LogPnl_->setObjectName(QStringLiteral("LogPnl"));
    LogPnl_->setGeometry(0, 0, Width, Height);
    LogPnl_->setAutoFillBackground(true);
    FitFont(Label(LogPnl_, Q(msg::dialogs::LoginIdentifier), 16, 7, 124, "Label1"));
    FitFont(Label(LogPnl_, Q(msg::dialogs::Numeric), 16, 22, 124, "Label3"), 0.85);
    FitFont(Label(LogPnl_, Q(msg::dialogs::Password), 16, 44, 124, "Label2"));
    LogEdit_ = new QLineEdit(LogPnl_);
    LogEdit_->setObjectName(QStringLiteral("LogEdit"));
    LogEdit_->setGeometry(144, 8, 121, 23);
    PassEdit_ = new QLineEdit(LogPnl_);
    PassEdit_->setObjectName(QStringLiteral("PassEdit"));
    PassEdit_->setGeometry(144, 40, 121, 23);
    PassEdit_->setEchoMode(QLineEdit::Password);
    LogBtn_ = Button(LogPnl_, msg::dialogs::Ok, 328, 8, "LogBtn");
    Button3_ = Button(LogPnl_, msg::dialogs::Cancel, 328, 40, "Button3");
    LogPnl_->hide();

    setTabOrder(LogEdit_, PassEdit_);
    setTabOrder(PassEdit_, LogBtn_);
    setTabOrder(LogBtn_, Button3_);

    connect(Button1_, &QPushButton::clicked, this, &TConnectionFrm::CancelClicked);
    connect(LogBtn_, &QPushButton::clicked, this, &TConnectionFrm::LoginClicked);
    connect(PassEdit_, &QLineEdit::returnPressed, this, &TConnectionFrm::LoginClicked);
    connect(Button3_, &QPushButton::clicked, this, &TConnectionFrm::LoginCancelled);
}

void TConnectionFrm::SetProgress(const std::string& text) {
    Msg1Lbl_->setText(Q(text));
}

void TConnectionFrm::SetStatus(const std::string& text) {
    Msg2Lbl_->setText(Q(text));
    if (isVisible()) {
        Msg2Lbl_->repaint();
    }
}

TConnectionFrm::~TConnectionFrm() {
    if (Busy_) QApplication::restoreOverrideCursor();
}

void TConnectionFrm::HideLoginPanel() {
    LogPnl_->hide();
    Exchanging_ = true;
    // The whole program waits for the server: said by the cursor everywhere.
    if (!Busy_) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        Busy_ = true;
    }
}

bool TConnectionFrm::LoginPanelVisible() const {
    return !LogPnl_->isHidden();
}

void TConnectionFrm::Centre() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TConnectionFrm::ShowModeless() {
    Centre();
    // Shown without waiting, yet above any modal dialog open meanwhile, so that
    // "Annuler" can be reached and no other window starts a second command.
    setWindowModality(Qt::ApplicationModal);
    if (QWidget* active = QApplication::activeWindow(); active != this) KeyboardBefore_ = active;
    show();
    raise();
}

void TConnectionFrm::Close() {
    Exchanging_ = false;
    if (Busy_) {
        QApplication::restoreOverrideCursor();
        Busy_ = false;
    }
    if (isVisible()) {
        // Hides a modeless window; ends the modal login.
        done(QDialog::Rejected);
    }
    if (KeyboardBefore_) TKeyboardOwner::GiveKeyboardBack(KeyboardBefore_);
    KeyboardBefore_ = nullptr;
}

void TConnectionFrm::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TConnectionFrm::ShowLoginModal() {
    if (isVisible()) {
        return;  // an exchange or a login is already under way
    }
    LogPnl_->show();
    LogPnl_->raise();
    Centre();
    ExecOnTop(*this);
}

void TConnectionFrm::ClearPassword() {
    PassEdit_->clear();
}

void TConnectionFrm::CancelClicked() {
    if (Link_ != nullptr) {
        Link_->CancelExchange();
    } else {
        Close();
    }
}

void TConnectionFrm::LoginClicked() {
    if (Link_ == nullptr || !LoginPanelVisible()) {
        return;
    }
    try {
        Link_->Login(S(LogEdit_->text()), S(PassEdit_->text()));
    } catch (const Error& e) {
        // The exchange has closed the window already.
        ShowEndedCommand(Boxes_, e);
    }
    if (isVisible() && LoginPanelVisible()) {
        // Refused before any exchange (an identifier that is not a number):
        // the identifier is typed again.
        LogEdit_->setFocus(Qt::OtherFocusReason);
        LogEdit_->selectAll();
    }
}

void TConnectionFrm::LoginCancelled() {
    reject();
}

void TConnectionFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (LoginPanelVisible()) {
        LogEdit_->setFocus();
    }
}

void TConnectionFrm::closeEvent(QCloseEvent* event) {
    if (Exchanging_) {
        event->ignore();  // "Annuler" ends a running exchange
        return;
    }
    QDialog::closeEvent(event);
}

void TConnectionFrm::reject() {
    if (Exchanging_) {
        // Escape or the close box during an exchange: "Annuler".
        CancelClicked();
    } else {
        QDialog::reject();
    }
}

}  // namespace tavlor::ui
