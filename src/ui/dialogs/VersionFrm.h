#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace tavlor::ui {

// The version dialog: the program's name in large letters, its picture and
// its version, major.minor.release, the text every request sends.
class TVersionFrm : public QDialog {
    Q_OBJECT

public:
    explicit TVersionFrm(QWidget* parent = nullptr);
    QString VersionText() const;
    // The 50 by 50 picture: a carom table seen from above with its three balls.
    static QPixmap Picture(qreal devicePixelRatio = 1.0);

private:
    QLabel* VersionLbl_ = nullptr;
};

}  // namespace tavlor::ui
