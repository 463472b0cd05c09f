#include "fedserver/FedState.h"

#include "fedserver/FedServerMessages.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace tavlor::fedserver {

namespace fm = tavlor::msg::fedserver;

namespace {

constexpr std::size_t kMaxPoolName = 40;
constexpr std::size_t kMaxPlayersFound = 500;

// A refused request: its French text goes back in the error envelope.
struct TRefusal {
    std::string Text;
};

[[noreturn]] void Refuse(std::string_view message) {
    throw TRefusal{std::string(message)};
}

// Reads the fields of a form, refusing what is missing or not a number. Values
// quoted in messages are turned back into UTF-8.
class TFields {
public:
    explicit TFields(const TForm& form) : form_(form) {}

    bool Has(std::string_view name) const { return FindField(form_, name) != nullptr; }

    const std::string& Raw(std::string_view name) const {
        const std::string* value = FindField(form_, name);
        if (value == nullptr) {
            Refuse(fm::MissingField(name));
        }
        return *value;
    }

    std::string Text(std::string_view name) const { return text::Cp1252ToUtf8(Raw(name)); }

    std::int32_t Int(std::string_view name) const {
        const std::string& value = Raw(name);
        const std::optional<std::int32_t> n = text::ParseInt32(value);
        if (!n) {
            Refuse(fm::BadNumber(name, text::Cp1252ToUtf8(value)));
        }
        return *n;
    }

    std::int32_t Count(std::string_view name) const {
        const std::int32_t n = Int(name);
        if (n < 0) {
            Refuse(fm::NegativeNumber(name, text::IntToStr(n)));
        }
        return n;
    }

private:
    const TForm& form_;
};

std::string PoolName(const TFields& f) {
    std::string name = f.Text("NOMPOULE");
    if (name.empty()) {
        Refuse(fm::EmptyPoolName);
    }
    if (text::Length(name) > kMaxPoolName) {
        Refuse(fm::PoolNameTooLong(text::IntToStr(kMaxPoolName)));
    }
    return name;
}

std::int32_t Formula(const TFields& f) {
    const std::int32_t formula = f.Int("FCLASST");
    if (formula < 0 || formula > 2) {
        Refuse(fm::UnknownFormula(text::IntToStr(formula)));
    }
    return formula;
}

std::string ListTitles(std::initializer_list<std::string_view> titles) {
    TRecordWriter w;
    for (const std::string_view t : titles) {
        w.Text(t);
    }
    w.EndRecord();
    return w.Take();
}

std::string Utf8Page(const std::string& html) {
    return text::Utf8ToCp1252(html);
}

std::string Cell(std::string_view utf8, const char* tag = "td") {
    return std::string("<") + tag + ">" + HtmlEscape(utf8) + "</" + tag + ">";
}

std::string DayText(std::int64_t seconds) {
    const TDay d = ParisDay(seconds);
    return text::FormatDateDMY(text::EncodeDate(d.Year, d.Month, d.Day));
}

}  // namespace

TFedState::TFedState(bool large) : large_(large), random_(std::random_device{}()) {
    Reset();
}

void TFedState::Reset() {
    data_ = MakeFederation(large_);
    sessions_.clear();
    nextPool_ = 1;
    nextMatch_ = 1;
    for (const TDiscipline& d : data_.Disciplines) {
        for (const TServedCompetition& c : d.Competitions) {
            for (const sample::TSamplePool& p : c.Data.Pools) {
                nextPool_ = std::max(nextPool_, p.IdPoule + 1);
            }
            for (const sample::TSampleMatch& m : c.Data.Matches) {
                nextMatch_ = std::max(nextMatch_, m.IdMatch + 1);
            }
        }
    }
}

TDiscipline* TFedState::FindDiscipline(std::string_view path) {
    for (TDiscipline& d : data_.Disciplines) {
        if (d.Path == path) {
            return &d;
        }
    }
    return nullptr;
}

const TDiscipline* TFedState::FindDiscipline(std::string_view path) const {
    return const_cast<TFedState*>(this)->FindDiscipline(path);
}

TFedState::TPoolRef TFedState::FindPool(TDiscipline& d, std::int32_t id) {
    for (TServedCompetition& c : d.Competitions) {
        for (sample::TSamplePool& p : c.Data.Pools) {
            if (p.IdPoule == id) {
                return {&c, &p};
            }
        }
    }
    Refuse(fm::UnknownPool(text::IntToStr(id)));
}

TFedState::TMatchRef TFedState::FindMatch(TDiscipline& d, std::int32_t id) {
    for (TServedCompetition& c : d.Competitions) {
        for (std::size_t i = 0; i < c.Data.Matches.size(); ++i) {
            if (c.Data.Matches[i].IdMatch == id) {
                return {&c, i};
            }
        }
    }
    Refuse(fm::UnknownMatch(text::IntToStr(id)));
}

TReply TFedState::Handle(std::string_view discipline, std::string_view script, const TForm& form,
                         std::string_view cookies) {
    try {
        TDiscipline* d = FindDiscipline(discipline);
        if (d == nullptr) {
            Refuse(fm::BadRequest);
        }
        if (script == "getlists.php") {
            return GetLists(*d, form);
        }
        if (script == "logdlg1.php") {
            return Login(form);
        }
        if (!Identified(cookies)) {
            Refuse(fm::NotIdentified);
        }
        if (script == "upd_poule.php") {
            return UpdPoule(*d, form);
        }
        if (script == "upd_match.php") {
            return UpdMatch(*d, form);
        }
        Refuse(fm::BadRequest);
    } catch (const TRefusal& refusal) {
        return ErrorReply(refusal.Text);
    }
}

// ---- Lists ----

TReply TFedState::GetLists(TDiscipline& d, const TForm& form) const {
    const TFields f(form);
    const std::string action = f.Text("ACTION");
    auto competition = [&]() -> const TServedCompetition& {
        const std::int32_t id = f.Int("NOCOMPET");
        for (const TServedCompetition& c : d.Competitions) {
            if (c.Data.Id == id) {
                return c;
            }
        }
        Refuse(fm::UnknownCompetition(text::IntToStr(id)));
    };

    TRecordWriter w;
    if (action == "listecompets") {
        std::string data = ListTitles({fm::CompetitionTitles[0], fm::CompetitionTitles[1], fm::CompetitionTitles[2],
                                       fm::CompetitionTitles[3], fm::CompetitionTitles[4], fm::CompetitionTitles[5]});
        for (const TServedCompetition& c : d.Competitions) {
            w.Text(c.Saison).Text(c.Niveau).Text(c.Categorie).Text(c.Nom).Int(c.Data.Id).Text(c.Lieu).EndRecord();
        }
        return DataReply(data + w.Take(), 1);
    }
    if (action == "listebillards") {
        for (const sample::TSampleBillard& b : data_.Billards) {
            w.Int(b.Taille).Text(b.Nom).EndRecord();
        }
        return DataReply(w.Take());
    }
    if (action == "listejoueurs") {
        const std::string* nom = FindField(form, "NOM");
        const std::string* ville = FindField(form, "VILLE");
        const bool byName = nom != nullptr && !nom->empty();
        const bool byTown = ville != nullptr && !ville->empty();
        if (!byName && !byTown) {
            Refuse(fm::NoSearchCriterion);
        }
        const std::string wantName = byName ? FoldCase(*nom) : std::string();
        const std::string wantTown = byTown ? FoldCase(*ville) : std::string();
        std::vector<const TRosterPlayer*> found;
        for (const TRosterPlayer& p : data_.Players) {
            if ((!byName || FoldCase(text::Utf8ToCp1252(p.Nom)).find(wantName) != std::string::npos) &&
                (!byTown || FoldCase(text::Utf8ToCp1252(p.Ville)).find(wantTown) != std::string::npos)) {
                found.push_back(&p);
            }
        }
        std::stable_sort(found.begin(), found.end(), [](const TRosterPlayer* a, const TRosterPlayer* b) {
            return text::CollateCompare(a->Nom, b->Nom) < 0;
        });
        if (found.size() > kMaxPlayersFound) {
            found.resize(kMaxPlayersFound);
        }
        std::string data =
            ListTitles({fm::PlayerTitles[0], fm::PlayerTitles[1], fm::PlayerTitles[2], fm::PlayerTitles[3]});
        for (const TRosterPlayer* p : found) {
            w.Int(p->Licence).Text(p->Nom).Text(p->Club).Text(p->Ville).EndRecord();
        }
        return DataReply(data + w.Take(), 1);
    }
    if (action == "listepoules") {
        for (const sample::TSamplePool& p : competition().Data.Pools) {
            w.Int(p.IdPoule).Text(p.Nom).Int(p.Phase).Int(p.Formula).EndRecord();
        }
        return DataReply(w.Take());
    }
    if (action == "listematchs") {
        for (const sample::TSampleMatch& m : competition().Data.Matches) {
            w.Int(m.IdMatch).Int(m.Bd).Coef(m.CoefBd).Int(m.DateSeconds);
            w.Int(m.Licence1).Text(m.Nom1).Int(m.Pts1).Int(m.Rep1).Int(m.Ser1).Int(m.Pm1);
            w.Int(m.Licence2).Text(m.Nom2).Int(m.Pts2).Int(m.Rep2).Int(m.Ser2).Int(m.Pm2);
            w.Int(m.IdPoule).Int(m.IdPhase).EndRecord();
        }
        return DataReply(w.Take());
    }
    Refuse(fm::UnknownAction(action));
}

// ---- Login ----

TReply TFedState::Login(const TForm& form) {
    const TFields f(form);
    const std::optional<std::int32_t> id = text::ParseInt32(f.Raw("LOGIN"));
    if (!id) {
        Refuse(fm::LoginNotNumeric);
    }
    const std::string* pass = FindField(form, "PASS");
    for (const TUser& u : data_.Users) {
        if (u.Id == *id && pass != nullptr && *pass == Md5Hex(text::Utf8ToCp1252(u.Password))) {
            static constexpr char kHex[] = "0123456789abcdef";
            std::string session;
            for (int i = 0; i < 2; ++i) {
                std::uint64_t r = random_();
                for (int k = 0; k < 16; ++k, r >>= 4) {
                    session += kHex[r & 15];
                }
            }
            sessions_[session] = u.Id;
            TReply reply = DataReply(text::Utf8ToCp1252(u.Nom + " (" + text::IntToStr(u.Id) + ")"));
            reply.SetCookies.push_back(std::string(kSessionCookie) + "=" + session + "; Path=/");
            return reply;
        }
    }
    Refuse(fm::BadLogin);
}

bool TFedState::Identified(std::string_view cookies) const {
    // "a=1; PHPSESSID=...; b=2"
    std::size_t start = 0;
    while (start < cookies.size()) {
        std::size_t end = cookies.find(';', start);
        if (end == std::string_view::npos) {
            end = cookies.size();
        }
        std::string_view pair = cookies.substr(start, end - start);
        while (!pair.empty() && pair.front() == ' ') {
            pair.remove_prefix(1);
        }
        const std::size_t eq = pair.find('=');
        std::string_view value = eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);  // as a Set-Cookie2 client sends it back
        }
        if (eq != std::string_view::npos && pair.substr(0, eq) == kSessionCookie &&
            sessions_.count(std::string(value)) != 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// ---- Pools ----

TReply TFedState::UpdPoule(TDiscipline& d, const TForm& form) {
    const TFields f(form);
    const std::string action = f.Text("ACTION");
    if (action == "ajouter") {
        const std::int32_t idCompet = f.Int("IDCOMPETITION");
        TServedCompetition* compet = nullptr;
        for (TServedCompetition& c : d.Competitions) {
            if (c.Data.Id == idCompet) {
                compet = &c;
            }
        }
        if (compet == nullptr) {
            Refuse(fm::UnknownCompetition(text::IntToStr(idCompet)));
        }
        sample::TSamplePool pool;
        pool.Nom = PoolName(f);
        pool.Phase = f.Count("PHASE");
        pool.Formula = Formula(f);
        pool.IdPoule = nextPool_++;
        compet->Data.Pools.push_back(pool);
        return DataReply(text::IntToStr(pool.IdPoule));
    }
    if (action == "modifier") {
        const TPoolRef ref = FindPool(d, f.Int("IDPOULE"));
        const int changes = (f.Has("PHASE") ? 1 : 0) + (f.Has("NOMPOULE") ? 1 : 0) + (f.Has("FCLASST") ? 1 : 0);
        if (changes == 0) {
            Refuse(fm::NoPoolChange);
        }
        if (changes > 1) {
            Refuse(fm::SeveralPoolChanges);
        }
        if (f.Has("PHASE")) {
            const std::int32_t phase = f.Count("PHASE");
            ref.Pool->Phase = phase;
            for (sample::TSampleMatch& m : ref.Competition->Data.Matches) {
                if (m.IdPoule == ref.Pool->IdPoule) {
                    m.IdPhase = phase;
                }
            }
        } else if (f.Has("NOMPOULE")) {
            ref.Pool->Nom = PoolName(f);
        } else {
            ref.Pool->Formula = Formula(f);
        }
        return DataReply(text::IntToStr(ref.Pool->IdPoule));
    }
    if (action == "supprimer") {
        const TPoolRef ref = FindPool(d, f.Int("IDPOULE"));
        const std::int32_t id = ref.Pool->IdPoule;
        const auto& matches = ref.Competition->Data.Matches;
        if (std::any_of(matches.begin(), matches.end(),
                        [&](const sample::TSampleMatch& m) { return m.IdPoule == id; })) {
            Refuse(fm::PoolHasMatches(text::IntToStr(id)));
        }
        auto& pools = ref.Competition->Data.Pools;
        pools.erase(pools.begin() + (ref.Pool - pools.data()));
        return DataReply(text::IntToStr(id));
    }
    Refuse(fm::UnknownAction(action));
}

// ---- Matches ----

std::string TFedState::NameOf(const TServedCompetition& c, std::int32_t licence) const {
    for (const sample::TSampleMatch& m : c.Data.Matches) {
        if (m.Licence1 == licence) {
            return m.Nom1;
        }
        if (m.Licence2 == licence) {
            return m.Nom2;
        }
    }
    for (const TRosterPlayer& p : data_.Players) {
        if (p.Licence == licence) {
            return p.Nom;
        }
    }
    return "?";
}

TReply TFedState::UpdMatch(TDiscipline& d, const TForm& form) {
    const TFields f(form);
    const std::string action = f.Text("ACTION");
    if (action == "supprimer") {
        const TMatchRef ref = FindMatch(d, f.Int("IDMATCH"));
        auto& matches = ref.Competition->Data.Matches;
        const std::int32_t id = matches[ref.Index].IdMatch;
        matches.erase(matches.begin() + static_cast<std::ptrdiff_t>(ref.Index));
        TRecordWriter w;
        w.Int(id);
        return DataReply(w.Take());
    }
    if (action != "ajouter" && action != "modifier") {
        Refuse(fm::UnknownAction(action));
    }

    std::optional<TMatchRef> existing;
    if (action == "modifier") {
        existing = FindMatch(d, f.Int("IDMATCH"));
    }
    sample::TSampleMatch m;
    m.Licence1 = f.Int("ID1");
    m.Pts1 = f.Count("PTS1");
    m.Rep1 = f.Count("REP1");
    m.Ser1 = f.Count("SER1");
    m.Pm1 = f.Count("PTMATCH1");
    m.Licence2 = f.Int("ID2");
    m.Pts2 = f.Count("PTS2");
    m.Rep2 = f.Count("REP2");
    m.Ser2 = f.Count("SER2");
    m.Pm2 = f.Count("PTMATCH2");
    const std::string date = f.Text("DATEMATCH");
    const std::int32_t idPoule = f.Int("IDPOULE");
    m.Bd = f.Int("BD");
    if (m.Pm1 > 2 || m.Pm2 > 2 || m.Pm1 + m.Pm2 != 2) {
        Refuse(fm::BadMatchPoints(text::IntToStr(m.Pm1), text::IntToStr(m.Pm2)));
    }
    if (m.Licence1 == m.Licence2) {
        Refuse(fm::SamePlayers(text::IntToStr(m.Licence1)));
    }
    const std::optional<TDay> day = ParseIsoDay(date);
    if (!day) {
        Refuse(fm::BadDate(date));
    }
    m.DateSeconds = ParisMidnight(day->Year, day->Month, day->Day);
    const TPoolRef pool = FindPool(d, idPoule);
    const auto bd = std::find_if(data_.Billards.begin(), data_.Billards.end(),
                                 [&](const sample::TSampleBillard& b) { return b.Taille == m.Bd; });
    if (bd == data_.Billards.end()) {
        Refuse(fm::UnknownBillard(text::IntToStr(m.Bd)));
    }
    if (existing && existing->Competition != pool.Competition) {
        Refuse(fm::PoolOfOtherCompetition(text::IntToStr(idPoule)));
    }
    m.CoefBd = bd->Coef;
    m.IdPoule = idPoule;
    m.IdPhase = pool.Pool->Phase;
    m.Nom1 = NameOf(*pool.Competition, m.Licence1);
    m.Nom2 = NameOf(*pool.Competition, m.Licence2);

    TRecordWriter w;
    w.Coef(m.CoefBd);
    if (existing) {
        sample::TSampleMatch& old = existing->Competition->Data.Matches[existing->Index];
        m.IdMatch = old.IdMatch;
        old = std::move(m);
    } else {
        m.IdMatch = nextMatch_++;
        w.Int(m.IdMatch);
        pool.Competition->Data.Matches.push_back(std::move(m));
    }
    return DataReply(w.Take());
}

// ---- Pool summary ----

TPage TFedState::PrintPoules(std::string_view discipline, std::string_view param1) const {
    const std::string head =
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\r\n<html>\r\n<head>\r\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\r\n";
    const TDiscipline* d = FindDiscipline(discipline);
    const std::optional<std::int32_t> id = text::ParseInt32(param1);
    const TServedCompetition* compet = nullptr;
    const sample::TSamplePool* pool = nullptr;
    if (d != nullptr && id) {
        for (const TServedCompetition& c : d->Competitions) {
            for (const sample::TSamplePool& p : c.Data.Pools) {
                if (p.IdPoule == *id) {
                    compet = &c;
                    pool = &p;
                }
            }
        }
    }
    if (pool == nullptr) {
        return {404, Utf8Page(head + "<title>" + std::string(fm::PageUnknownPool) +
                              "</title>\r\n</head>\r\n<body>\r\n<h1>" + std::string(fm::PageUnknownPool) + " : " +
                              HtmlEscape(text::Cp1252ToUtf8(param1)) + "</h1>\r\n</body>\r\n</html>\r\n")};
    }

    struct TLine {
        std::int32_t Licence;
        std::string Nom;
        int Played = 0, Pm = 0, Pts = 0, Rep = 0, Ser = 0;
    };
    std::vector<TLine> lines;
    std::vector<const sample::TSampleMatch*> matches;
    auto add = [&](std::int32_t licence, const std::string& nom, int pts, int rep, int ser, int pm) {
        auto it = std::find_if(lines.begin(), lines.end(), [&](const TLine& l) { return l.Licence == licence; });
        if (it == lines.end()) {
            lines.push_back({licence, nom});
            it = lines.end() - 1;
        }
        ++it->Played;
        it->Pm += pm;
        it->Pts += pts;
        it->Rep += rep;
        it->Ser = std::max(it->Ser, ser);
    };
    for (const sample::TSampleMatch& m : compet->Data.Matches) {
        if (m.IdPoule == pool->IdPoule) {
            matches.push_back(&m);
            add(m.Licence1, m.Nom1, m.Pts1, m.Rep1, m.Ser1, m.Pm1);
            add(m.Licence2, m.Nom2, m.Pts2, m.Rep2, m.Ser2, m.Pm2);
        }
    }
    auto average = [](int pts, int rep) { return rep > 0 ? static_cast<double>(pts) / rep : 0.0; };
    std::stable_sort(lines.begin(), lines.end(), [&](const TLine& a, const TLine& b) {
        if (a.Pm != b.Pm) {
            return a.Pm > b.Pm;
        }
        return average(a.Pts, a.Rep) > average(b.Pts, b.Rep);
    });

    const std::string formula = pool->Formula >= 0 && pool->Formula < 3 ? std::string(fm::FormulaNames[pool->Formula])
                                                                        : text::IntToStr(pool->Formula);
    std::string html = head + "<title>" + std::string(fm::PageTitle) + " - " + HtmlEscape(pool->Nom) +
                       "</title>\r\n</head>\r\n<body>\r\n";
    html += "<h1>" + HtmlEscape(compet->Data.Title) + "</h1>\r\n";
    html += "<h2>" + std::string(fm::PageTitle) + " : " + HtmlEscape(pool->Nom) + "</h2>\r\n";
    html += "<p>" + std::string(fm::PagePhase) + " : " + text::IntToStr(pool->Phase) + "<br>\r\n" +
            std::string(fm::PageFormula) + " : " + formula + "</p>\r\n";

    html += "<h3>" + std::string(fm::PagePlayers) + "</h3>\r\n<table border=\"1\">\r\n<tr>";
    for (const std::string_view t : {fm::ColLicence, fm::ColName, fm::ColPlayed, fm::ColMatchPoints, fm::ColPoints,
                                     fm::ColInnings, fm::ColAverage, fm::ColBestRun}) {
        html += Cell(t, "th");
    }
    html += "</tr>\r\n";
    for (const TLine& l : lines) {
        html += "<tr>" + Cell(text::IntToStr(l.Licence)) + Cell(l.Nom) + Cell(text::IntToStr(l.Played)) +
                Cell(text::IntToStr(l.Pm)) + Cell(text::IntToStr(l.Pts)) + Cell(text::IntToStr(l.Rep)) +
                Cell(text::FormatFloat("0.000", average(l.Pts, l.Rep), ',')) + Cell(text::IntToStr(l.Ser)) +
                "</tr>\r\n";
    }
    html += "</table>\r\n";

    html += "<h3>" + std::string(fm::PageMatches) + "</h3>\r\n";
    if (matches.empty()) {
        html += "<p>" + std::string(fm::PageNoMatch) + "</p>\r\n";
    } else {
        html += "<table border=\"1\">\r\n<tr>";
        for (const std::string_view t :
             {fm::ColNumber, fm::ColDate, fm::ColBillard, fm::ColPlayer1, fm::ColScore, fm::ColPlayer2}) {
            html += Cell(t, "th");
        }
        html += "</tr>\r\n";
        for (const sample::TSampleMatch* m : matches) {
            std::string billard = text::IntToStr(m->Bd);
            for (const sample::TSampleBillard& b : data_.Billards) {
                if (b.Taille == m->Bd) {
                    billard = b.Nom;
                }
            }
            const std::string score = text::IntToStr(m->Pts1) + " - " + text::IntToStr(m->Pts2) + " (" +
                                      text::IntToStr(m->Rep1) + " / " + text::IntToStr(m->Rep2) + ")";
            html += "<tr>" + Cell(text::IntToStr(m->IdMatch)) + Cell(DayText(m->DateSeconds)) + Cell(billard) +
                    Cell(m->Nom1) + Cell(score) + Cell(m->Nom2) + "</tr>\r\n";
        }
        html += "</table>\r\n";
    }
    html += "</body>\r\n</html>\r\n";
    return {200, Utf8Page(html)};
}

}  // namespace tavlor::fedserver
