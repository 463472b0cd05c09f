// The lists of the server and the download of one competition.
#include "server/FormEncoding.h"
#include "server/www.h"
#include "server/wwwMessages.h"
#include "text/Cp1252.h"
#include "text/DateTime.h"
#include "text/Error.h"
#include "text/Numbers.h"
#include "text/TextMessages.h"

#include <cctype>
#include <utility>

namespace tavlor {

std::vector<std::vector<std::string>> TwwwFrm::SplitRecords(const std::string& data) {
    std::vector<std::vector<std::string>> records;
    for (std::string_view record : DataRecords(data)) {
        records.push_back(RecordFields(record));
    }
    return records;
}

namespace {

// The index error of a record short of fields, told apart so that the
// download can name the list and the line.
class TShortRecord : public Error {
public:
    using Error::Error;
};

// Records are taken one by one: a record short of fields stops the list
// there, after the records before it were added.
const std::vector<std::string>& Checked(const std::vector<std::string>& fields, std::size_t fieldsRead) {
    if (fields.size() < fieldsRead) {
        throw TShortRecord(msg::www::ListIndexOutOfBounds(static_cast<int>(fieldsRead) - 1));
    }
    return fields;
}

// Adds each record of a list; a record short of fields stops it with the
// list's name and the record's line (from 1) added to the index error.
template <typename TRecords, typename TAdd>
void AddEach(TRecords&& records, const char* list, TAdd add) {
    int line = 0;
    for (auto& record : records) {
        ++line;
        try {
            add(record);
        } catch (const TShortRecord& e) {
            throw Error(msg::www::ShortRecord(e.what(), list, line));
        }
    }
}

}  // namespace

std::vector<std::vector<std::string>> TwwwFrm::ListRecords(const TReply& reply) {
    if (!reply.HasData || reply.Data.empty()) {
        return {};
    }
    return SplitRecords(reply.Data);
}

std::vector<std::vector<std::string>> TwwwFrm::RequiredRecords(const TReply& reply, const std::string& errorPrefix,
                                                               const std::string& noReply) {
    if (reply.HasError) {
        throw Error(errorPrefix + reply.Error);
    }
    if (!reply.HasData) {
        throw Error(noReply);
    }
    return ListRecords(reply);  // an empty data envelope is an empty list
}

// The address of the requests for the time of one list or download.
class TwwwFrm::TRequestTo {
public:
    TRequestTo(TwwwFrm& link, const std::string& url) : Link_(link), Former_(link.RequestBase_) {
        Link_.RequestBase_ = WithoutTrailingSlash(url);
    }
    ~TRequestTo() { Link_.RequestBase_ = Former_; }
    TRequestTo(const TRequestTo&) = delete;
    TRequestTo& operator=(const TRequestTo&) = delete;

private:
    TwwwFrm& Link_;
    std::optional<std::string> Former_;
};

void TwwwFrm::ListCompets(const std::string& url, TTextGrid& grid) {
    const TRequestTo to(*this, url);
    ListCompets(grid);
}

void TwwwFrm::ListCompets(TTextGrid& grid) {
    StartExchange(msg::www::ProgressCompetitions);
    const TReply reply = PostForm("/getlists.php", {"ACTION=listecompets"});
    ShowList(reply, grid, msg::www::CompetitionsError, msg::www::CompetitionsNoReply);
}

void TwwwFrm::ShowList(const TReply& reply, TTextGrid& grid, const std::string& errorPrefix,
                       const std::string& noReply) {
    if (reply.HasError) {
        Boxes_.Error(errorPrefix + reply.Error);
    } else if (reply.HasData) {
        FillGrid(reply, grid);
    } else {
        Boxes_.Error(noReply);
    }
}

void TwwwFrm::ListJoueurs(TTextGrid& grid) {
    const std::string name = grid.Cell(0, 0);
    const std::string town = grid.Cell(1, 0);
    const bool byName = text::Length(name) >= 3;
    const bool byTown = text::Length(town) >= 3;
    if (!byName && !byTown) {
        throw Error(msg::www::SearchTooShort);
    }
    StartExchange(msg::www::ProgressPlayers);
    std::vector<std::string> fields = {"ACTION=listejoueurs"};
    if (byName) {
        fields.push_back("NOM=" + name);
    }
    if (byTown) {
        fields.push_back("VILLE=" + town);
    }
    const TReply reply = PostForm("/getlists.php", fields);
    ShowList(reply, grid, msg::www::PlayersError, msg::www::PlayersNoReply);
}

std::vector<std::pair<std::int32_t, std::string>> TwwwFrm::FetchBillards() {
    StartExchange(msg::www::ProgressBilliards);
    const TReply reply = PostForm("/getlists.php", {"ACTION=listebillards"});
    std::vector<std::pair<std::int32_t, std::string>> billards;
    AddEach(ListRecords(reply), msg::www::ListBilliards, [&billards](const auto& record) {
        const auto& f = Checked(record, 2);
        billards.emplace_back(text::StrToInt(f[0]), f[1]);
    });
    // Independently of the rows: a reply may hold billiards and report an error.
    if (reply.HasError) {
        Boxes_.Error(msg::www::BilliardsError + reply.Error);
    } else if (!reply.HasData) {
        Boxes_.Error(msg::www::BilliardsNoReply);
    }
    return billards;
}

void TwwwFrm::LoadBillards() {
    for (const auto& [id, name] : FetchBillards()) Compet_.DoAddBillard(id, name);
}

void TwwwFrm::AddBillardRecord(const std::vector<std::string>& record) {
    const auto& f = Checked(record, 2);
    Compet_.DoAddBillard(text::StrToInt(f[0]), f[1]);
}

std::vector<std::pair<TParamTable, TParamTable>> TwwwFrm::FetchPoules(std::int32_t competition) {
    StartExchange(msg::www::ProgressPools);
    const TReply reply = PostForm("/getlists.php", {"ACTION=listepoules", "NOCOMPET=" + text::IntToStr(competition)});
    std::vector<std::pair<TParamTable, TParamTable>> poules;
    AddEach(RequiredRecords(reply, msg::www::PoolsError, msg::www::PoolsNoReply), msg::www::ListPools,
            [&poules](auto& f) { poules.push_back(ParsePouleRecord(f)); });
    return poules;
}

void TwwwFrm::LoadPoules(std::int32_t competition) {
    for (auto& [phase, pool] : FetchPoules(competition)) {
        // A phase met again is refused by the store: that is expected and ignored.
        Compet_.Store.AddPhase(phase);
        Compet_.Store.AddPoule(pool);
    }
}

std::pair<TParamTable, TParamTable> TwwwFrm::ParsePouleRecord(std::vector<std::string>& f) {
    Checked(f, 4);
    if (f[2].empty()) {
        f[2] = "0";
    }
    if (f[3].empty()) {
        f[3] = "0";
    }
    TParamTable phase;
    phase.Id = text::StrToInt(f[2]);
    phase.Nom = "Phase " + f[2];
    TParamTable pool;
    pool.Id = text::StrToInt(f[0]);
    pool.IdParent = phase.Id;
    pool.Valeur = text::StrToInt(f[3]);
    pool.Nom = f[1];
    return {phase, pool};
}

void TwwwFrm::AddPouleRecord(std::vector<std::string>& f) {
    auto [phase, pool] = ParsePouleRecord(f);
    Compet_.Store.AddPhase(phase);
    Compet_.Store.AddPoule(pool);
}

std::vector<TwwwFrm::TMatchRecord> TwwwFrm::FetchMatchs(std::int32_t competition) {
    StartExchange(msg::www::ProgressMatches);
    const TReply reply = PostForm("/getlists.php", {"ACTION=listematchs", "NOCOMPET=" + text::IntToStr(competition)});
    std::vector<TMatchRecord> matchs;
    AddEach(RequiredRecords(reply, msg::www::MatchesError, msg::www::MatchesNoReply), msg::www::ListMatches,
            [this, &matchs](auto& f) { matchs.push_back(ParseMatchRecord(f)); });
    return matchs;
}

void TwwwFrm::LoadMatchs(std::int32_t competition) {
    for (TMatchRecord& record : FetchMatchs(competition)) StoreMatchRecord(Compet_, std::move(record));
}

void TwwwFrm::AddMatchRecord(std::vector<std::string>& f) {
    StoreMatchRecord(Compet_, ParseMatchRecord(f));
}

void TwwwFrm::StoreMatchRecord(TCompetition& compet, TMatchRecord record) {
    TParamMatch& m = record.Match;
    TParamTable player;
    player.IdParent = m.IdPoule;
    player.IdDest = m.IdPhase;
    for (int side = 0; side < 2; ++side) {
        player.Id = side == 0 ? m.Licence1 : m.Licence2;
        player.Nom = side == 0 ? record.Nom1 : record.Nom2;
        player.Valeur = -1;
        compet.Store.AddInscrit(player);
        player.Valeur = -1;
        compet.Store.AddJoueur(player);
    }
    compet.Store.AddMatch(m);
}

TwwwFrm::TMatchRecord TwwwFrm::ParseMatchRecord(std::vector<std::string>& f) const {
    Checked(f, 18);
    if (f[17].empty()) {
        f[17] = "0";
    }
    TMatchRecord record;
    TParamMatch& m = record.Match;
    m.IdMatch = text::StrToInt(f[0]);
    m.Bd = text::StrToInt(f[1]);
    m.CoefBd = ParseDecimal(f[2]);
    const auto seconds = text::ParseInt64(f[3]);
    if (!seconds) {
        throw Error(msg::text::NotAnInteger(f[3]));
    }
    // Seconds since 1970 plus one whole day, no time-zone conversion.
    m.DateMatch = text::UnixEpochDays + static_cast<double>(*seconds) / 86400.0 + 1.0;
    m.Licence1 = text::StrToInt(f[4]);
    m.Pts1 = text::StrToInt(f[6]);
    m.Rep1 = text::StrToInt(f[7]);
    m.Ser1 = text::StrToInt(f[8]);
    m.Pm1 = text::StrToInt(f[9]);
    m.Licence2 = text::StrToInt(f[10]);
    m.Pts2 = text::StrToInt(f[12]);
    m.Rep2 = text::StrToInt(f[13]);
    m.Ser2 = text::StrToInt(f[14]);
    m.Pm2 = text::StrToInt(f[15]);
    m.IdPoule = text::StrToInt(f[16]);
    m.IdPhase = text::StrToInt(f[17]);
    record.Nom1 = f[5];
    record.Nom2 = f[11];
    return record;
}

TwwwFrm::TDownload TwwwFrm::FetchCompet(std::int32_t competition) {
    TDownload download;
    download.Billards = FetchBillards();
    download.Poules = FetchPoules(competition);
    download.Matchs = FetchMatchs(competition);
    return download;
}

void TwwwFrm::StoreDownload(TDownload& download) {
    for (const auto& [id, name] : download.Billards) Compet_.DoAddBillard(id, name);
    for (auto& [phase, pool] : download.Poules) {
        // A phase met again is refused by the store: that is expected and ignored.
        Compet_.Store.AddPhase(phase);
        Compet_.Store.AddPoule(pool);
    }
    for (TMatchRecord& record : download.Matchs) StoreMatchRecord(Compet_, std::move(record));
}

void TwwwFrm::LoadCompet(std::int32_t competition, const std::string& title) {
    LoadCompet(BaseUrl_, competition, title);
}

void TwwwFrm::LoadCompet(const std::string& url, std::int32_t competition, const std::string& title) {
    // Refused before anything changes, while another exchange waits.
    if (Http_.Busy()) {
        throw Error(msg::www::AlreadyExchanging);
    }
    const std::string address = WithoutTrailingSlash(url);
    TDownload download;
    {
        // Every list in and read before the competition open is touched: a
        // failure here leaves the program as it was.
        const TRequestTo to(*this, address);
        download = FetchCompet(competition);
    }
    const TConnexion previousConnexion = Compet_.Connexion;
    // Saves the snapshot of the competition left, then empties the tables; a
    // snapshot that cannot be written stops here with the competition whole.
    Compet_.DoClear();
    Compet_.ListsComplete = false;
    try {
        StoreDownload(download);
        Compet_.ListsComplete = true;
        ++Opened_;
        BaseUrl_ = address;
        InstallServerHandlers();
        Compet_.Connexion = TConnexion::Internet;
        Compet_.ReadOnly.clear();
        Compet_.SetIdCompet(competition);
        Compet_.SetMessage(title);
        std::string lower = address;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (lower.find("3bandes") != std::string::npos) {
            Compet_.SetDiscipline("3Bandes");
        } else if (lower.find("bande") != std::string::npos) {
            Compet_.SetDiscipline("Bande");
        } else if (lower.find("cadre") != std::string::npos) {
            Compet_.SetDiscipline("Cadre");
        } else if (lower.find("libre") != std::string::npos) {
            Compet_.SetDiscipline("Libre");
        }
        const std::string suffix = "(" + Compet_.Discipline() + ")";
        if (Compet_.Message().find(suffix) == std::string::npos) {
            Compet_.SetMessage(Compet_.Message() + " " + suffix);
        }
        if (previousConnexion != TConnexion::Internet) {
            Compet_.SetLogin("");
        }
    } catch (...) {
        Compet_.AbandonLoad();
        throw;
    }
    Compet_.DoAfterLoad();
    if (OnLoaded) OnLoaded(address);
}

}  // namespace tavlor
