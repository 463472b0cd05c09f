#include "ui/platform/DesktopShell.h"

#include "ui/platform/QtText.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>

namespace tavlor::ui {

TShellOutcome TQtDesktopShell::OpenFile(const std::string& path) {
    TShellOutcome out;
    const QString file = Q(path);
    if (!QFileInfo::exists(file)) {
        out.Result = TShellOutcome::TResult::Failed;
        out.Code = ENOENT;
        out.Text = "Le fichier spécifié est introuvable.";
        return out;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()))) {
        out.Result = TShellOutcome::TResult::NoAssociation;
    }
    return out;
}

TShellOutcome TQtDesktopShell::OpenUrl(const std::string& url) {
    TShellOutcome out;
    const QUrl address(Q(url), QUrl::StrictMode);
    if (!address.isValid()) {
        out.Result = TShellOutcome::TResult::Failed;
        out.Text = "Adresse incorrecte : " + url;
        return out;
    }
    if (!QDesktopServices::openUrl(address)) out.Result = TShellOutcome::TResult::NoAssociation;
    return out;
}

}  // namespace tavlor::ui
