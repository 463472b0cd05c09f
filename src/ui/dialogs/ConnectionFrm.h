#pragma once

#include "server/ConnectionWindow.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tavlor {
class IUserBoxes;
class TwwwFrm;
}  // namespace tavlor

namespace tavlor::ui {

// The connection window: the progress of every exchange with the server (two
// lines and "Annuler"), and on request the login panel over it. Always on top,
// centred on the desktop. It is created before the server link, which drives
// it through IConnectionWindow; SetLink then gives it the link for its buttons.
class TConnectionFrm : public QDialog, public IConnectionWindow {
    Q_OBJECT

public:
    explicit TConnectionFrm(IUserBoxes& boxes, QWidget* parent = nullptr);
    ~TConnectionFrm() override;
    // Whether the busy cursor of a running exchange is shown.
    bool ShowsBusyCursor() const { return Busy_; }
    void SetLink(TwwwFrm* link) { Link_ = link; }

    // IConnectionWindow
    void SetProgress(const std::string& text) override;
    void SetStatus(const std::string& text) override;
    void HideLoginPanel() override;
    bool IsVisible() const override { return isVisible(); }
    void ShowModeless() override;
    void Close() override;
    void ProcessEvents() override;
    void ShowLoginModal() override;
    void ClearPassword() override;

    // The buttons: "Annuler" of the progress panel cancels the exchange;
    // "OK" of the login panel (or Enter in the password) logs in, its
    // "Annuler" closes the window without a request.
    void CancelClicked();
    void LoginClicked();
    void LoginCancelled();
    bool LoginPanelVisible() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Centre();

    IUserBoxes& Boxes_;
    TwwwFrm* Link_ = nullptr;
    bool Exchanging_ = false;  // between the start and the end of an exchange
    bool Busy_ = false;        // the busy cursor is shown
    QWidget* MsgPnl_ = nullptr;
    QWidget* LogPnl_ = nullptr;
    QLabel* Msg1Lbl_ = nullptr;
    QLabel* Msg2Lbl_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QLineEdit* LogEdit_ = nullptr;
    QLineEdit* PassEdit_ = nullptr;
    QPushButton* LogBtn_ = nullptr;
    QPushButton* Button3_ = nullptr;
    // The window that had the keyboard when an exchange showed this one
    // without waiting: it gets the keyboard back at the end.
    QPointer<QWidget> KeyboardBefore_;
};

}  // namespace tavlor::ui
