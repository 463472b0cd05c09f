// Login and the server side of pool and match changes.
#include "server/FormEncoding.h"
#include "server/md5.h"
#include "server/www.h"
#include "server/wwwMessages.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"

namespace tavlor {

namespace {

std::string N(std::int64_t n) {
    return text::IntToStr(n);
}

}  // namespace

void TwwwFrm::InstallServerHandlers() {
    TServerHandlers& s = Compet_.Server;
    s.Local = false;
    s.AddPoule = [this](TParamTable& p) { return WwwAddPoule(p); };
    s.EditPoule = [this](TParamTable& p) { return WwwEditPoule(p); };
    s.DelPoule = [this](TParamTable& p) { return WwwDelPoule(p); };
    s.AddMatch = [this](TParamMatch& m) { return WwwAddMatch(m); };
    s.DelMatch = [this](TParamMatch& m) { return WwwDelMatch(m); };
    s.EditMatch = [this](TParamMatch& m) { return WwwEditMatch(m); };
    Compet_.OnShowLogin = [this] { ShowLogin(); };
    Compet_.OnListJoueurs = [this](TTextGrid& grid) { ListJoueurs(grid); };
}

void TwwwFrm::ShowLogin() {
    Window_.ShowLoginModal();
}

void TwwwFrm::Login(const std::string& identifier, const std::string& password) {
    const auto number = text::ParseInt32(identifier);
    if (!number || *number == 0) {
        Boxes_.Error(msg::www::LoginNotNumeric);
        return;
    }
    StartExchange(msg::www::ProgressLogin);
    const std::vector<std::string> fields = {"LOGIN=" + identifier, "PASS=" + Md5Hex(text::Utf8ToCp1252(password))};
    Window_.ClearPassword();
    const TReply reply = PostForm("/logdlg1.php", fields);
    if (reply.HasError) {
        Boxes_.Error(reply.Error);
    } else if (reply.HasData) {
        Compet_.SetLogin(reply.Data);
    } else {
        Boxes_.Error(msg::www::LoginNoReply);
    }
}

// After a post: the error envelope first, then the data; without either, the
// handler's no-reply text.
bool TwwwFrm::ServerAnswer(const TReply& reply, const std::string& noReply) {
    if (reply.HasError) {
        Compet_.LastError = msg::www::ServerError + reply.Error;
        return false;
    }
    if (!reply.HasData) {
        Compet_.LastError = noReply;
        return false;
    }
    return true;
}

bool TwwwFrm::WwwAddPoule(TParamTable& p) {
    if (!Compet_.CanModify()) {
        return false;
    }
    if (p.IdParent < 0) {
        throw Error(msg::www::IllegalPhase(p.IdParent) + "\r\n" + msg::www::AddPoolImpossible);
    }
    if (p.Nom.empty()) {
        p.Nom = "?";
    }
    StartExchange(msg::www::ProgressAddPool);
    const TReply reply =
        PostForm("/upd_poule.php", {"ACTION=ajouter", "IDCOMPETITION=" + N(Compet_.IdCompet()), "NOMPOULE=" + p.Nom,
                                    "PHASE=" + N(p.IdParent), "FCLASST=" + N(p.Valeur)});
    if (!ServerAnswer(reply, msg::www::NoReplyOf)) {
        return false;
    }
    p.Id = text::StrToInt(reply.Data);
    return true;
}

bool TwwwFrm::WwwEditPoule(TParamTable& p) {
    if (!Compet_.CanModify()) {
        return false;
    }
    if (p.Id < 0) {
        throw Error(msg::www::IllegalPool(p.Id) + "\r\n" + msg::www::EditPoolImpossible);
    }
    std::string change;
    if (p.IdParent >= 0) {
        change = "PHASE=" + N(p.IdParent);
    } else if (!p.Nom.empty()) {
        change = "NOMPOULE=" + p.Nom;
    } else if (p.Valeur >= 0) {
        change = "FCLASST=" + N(p.Valeur);
    } else {
        throw Error(msg::www::NoPoolChange);
    }
    StartExchange(msg::www::ProgressEditPool);
    const TReply reply = PostForm("/upd_poule.php", {"ACTION=modifier", "IDPOULE=" + N(p.Id), change});
    return ServerAnswer(reply, msg::www::NoReply);
}

bool TwwwFrm::WwwDelPoule(TParamTable& p) {
    if (!Compet_.CanModify()) {
        return false;
    }
    if (p.Id < 0) {
        throw Error(msg::www::IllegalPool(p.Id) + "\r\n" + msg::www::EditPoolImpossible);
    }
    StartExchange(msg::www::ProgressDeletePool);
    const TReply reply = PostForm("/upd_poule.php", {"ACTION=supprimer", "IDPOULE=" + N(p.Id)});
    return ServerAnswer(reply, msg::www::NoReply);
}

std::vector<std::string> TwwwFrm::MatchFields(const TParamMatch& m) const {
    return {"ID1=" + N(m.Licence1),
            "PTS1=" + N(m.Pts1),
            "REP1=" + N(m.Rep1),
            "SER1=" + N(m.Ser1),
            "PTMATCH1=" + N(m.Pm1),
            "ID2=" + N(m.Licence2),
            "PTS2=" + N(m.Pts2),
            "REP2=" + N(m.Rep2),
            "SER2=" + N(m.Ser2),
            "PTMATCH2=" + N(m.Pm2),
            "DATEMATCH=" + text::FormatIsoDate(m.DateMatch),
            "IDPOULE=" + N(m.IdPoule),
            "BD=" + N(m.Bd)};
}

bool TwwwFrm::WwwAddMatch(TParamMatch& m) {
    if (!Compet_.CanModify()) {
        return false;
    }
    if (m.IdPoule < 0) {
        throw Error(msg::www::IllegalPool(m.IdPoule) + "\r\n" + msg::www::AddMatchImpossible);
    }
    std::vector<std::string> fields = {"ACTION=ajouter"};
    for (std::string& f : MatchFields(m)) {
        fields.push_back(std::move(f));
    }
    StartExchange(msg::www::ProgressAddMatch);
    const TReply reply = PostForm("/upd_match.php", fields);
    if (!ServerAnswer(reply, msg::www::NoReplyOf)) {
        return false;
    }
    const std::vector<std::string> values = ReplyFields(reply.Data);
    if (values.size() != 2) {
        Compet_.LastError = msg::www::BadReply;
        return false;
    }
    const double coef = ParseDecimal(values[0]);
    const std::int32_t number = text::StrToInt(values[1]);
    m.CoefBd = coef;
    m.IdMatch = number;
    return true;
}

bool TwwwFrm::WwwEditMatch(TParamMatch& m) {
    if (!Compet_.CanModify()) {
        return false;
    }
    if (m.IdMatch < 0) {
        throw Error(msg::www::IllegalMatch(m.IdMatch) + "\r\n" + msg::www::EditMatchImpossible);
    }
    if (m.IdPoule < 0) {
        throw Error(msg::www::IllegalPool(m.IdPoule) + "\r\n" + msg::www::EditMatchImpossible);
    }
    std::vector<std::string> fields = {"ACTION=modifier", "IDMATCH=" + N(m.IdMatch)};
    for (std::string& f : MatchFields(m)) {
        fields.push_back(std::move(f));
    }
    StartExchange(msg::www::ProgressEditMatch);
    const TReply reply = PostForm("/upd_match.php", fields);
    if (!ServerAnswer(reply, msg::www::NoReplyOf)) {
        return false;
    }
    const std::vector<std::string> values = ReplyFields(reply.Data);
    if (values.size() != 1) {
        Compet_.LastError = msg::www::BadReply;
        return false;
    }
    m.CoefBd = ParseDecimal(values[0]);
    return true;
}

bool TwwwFrm::WwwDelMatch(TParamMatch& m) {
    if (!Compet_.CanModify()) {
        return false;
    }
    if (m.IdMatch < 0) {
        throw Error(msg::www::IllegalMatch(m.IdMatch) + "\r\n" + msg::www::DeleteMatchImpossible);
    }
    StartExchange(msg::www::ProgressDeleteMatch);
    const TReply reply = PostForm("/upd_match.php", {"ACTION=supprimer", "IDMATCH=" + N(m.IdMatch)});
    return ServerAnswer(reply, msg::www::NoReplyOf);
}

void TwwwFrm::OpenPrintPoules(std::int32_t pool) {
    // Not an exchange: the browser opens the page, the outcome is not examined.
    Shell_.OpenUrl(BaseUrl_ + "/ranking/printpoules.php?param1=" + N(pool));
}

}  // namespace tavlor
