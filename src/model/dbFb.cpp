#include "model/dbFb.h"

#include "model/Communs.h"
#include "model/Files.h"
#include "model/LocalBaseMessages.h"
#include "model/MessageBoxes.h"
#include "model/TextGrid.h"
#include "model/dbFbMessages.h"
#include "model/dbLocal.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <exception>

namespace tavlor {

namespace {

double LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    ::localtime_r(&now, &t);
    return text::EncodeDateTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, std::min(t.tm_sec, 59));
}

// The season a federation title starts with ("2025-2026 Nationale 1 ..."); empty when none.
std::string SeasonOfTitle(const std::string& title) {
    auto digits = [&title](std::size_t from) {
        for (std::size_t i = from; i < from + 4; ++i) {
            if (i >= title.size() || !std::isdigit(static_cast<unsigned char>(title[i]))) return false;
        }
        return true;
    };
    if (digits(0) && title.size() >= 9 && title[4] == '-' && digits(5) && (title.size() == 9 || title[9] == ' ')) {
        return title.substr(0, 9);
    }
    return {};
}

std::string DateTimeText(double value) {
    const text::TDateTimeParts p = text::DecodeDateTime(value);
    auto two = [](int n) { return std::string(n < 10 ? "0" : "") + text::IntToStr(n); };
    return text::FormatDateDMY(value) + " " + two(p.Hour) + ":" + two(p.Minute);
}

}  // namespace

TdmFb::TdmFb(TCompetition& compet, TdmLocal& dm, IMessageBoxes& boxes)
    : Now(LocalNow), Compet_(compet), Dm_(dm), Boxes_(boxes) {}

std::string TdmFb::BasePath() const {
    return DataFolder.empty() ? std::string() : JoinPath(DataFolder, TLocalBase::FileName);
}

bool TdmFb::OpenDb() {
    if (IsOpen()) return true;
    if (DataFolder.empty()) {
        Boxes_.Error(msg::dbfb::NoDataFolder);
        return false;
    }
    TLocalBase::TOpenOptions options;
    options.BusyTimeoutMs = BusyTimeoutMs;
    try {
        const TLocalBase::TOpened opened = Base_.Open(BasePath(), options);
        if (!opened.SetAside.empty()) {
            Boxes_.Error(msg::localbase::SetAside(BasePath(), opened.SetAside));
        }
        return true;
    } catch (const std::exception& e) {
        Boxes_.Error(e.what());
        return false;
    }
}

void TdmFb::ListCompetDb(TTextGrid& grid) {
    const std::vector<TLocalCompet> competitions = Base_.List();
    const std::vector<std::string> titles = {
        msg::dbfb::ColumnTitle,  msg::dbfb::ColumnDiscipline,  msg::dbfb::ColumnOrigin,  msg::dbfb::ColumnChanged,
        msg::dbfb::ColumnNumber, msg::dbfb::ColumnRegistrants, msg::dbfb::ColumnMatches, msg::dbfb::ColumnSeason};
    grid.SetColCount(static_cast<int>(titles.size()));
    grid.SetRowCount(1 + static_cast<int>(competitions.size()));
    for (std::size_t c = 0; c < titles.size(); ++c) grid.SetCell(static_cast<int>(c), 0, titles[c]);
    int row = 1;
    for (const TLocalCompet& compet : competitions) {
        const std::vector<std::string> cells = {compet.Title,
                                                compet.Discipline,
                                                compet.IsLocal() ? msg::dbfb::LocalOrigin : compet.Origin,
                                                DateTimeText(compet.Changed),
                                                text::IntToStr(compet.Id),
                                                text::IntToStr(compet.Registrants),
                                                text::IntToStr(compet.Matches),
                                                compet.Season};
        for (std::size_t c = 0; c < cells.size(); ++c) grid.SetCell(static_cast<int>(c), row, cells[c]);
        ++row;
    }
}

const std::vector<TStoredBillard>& TdmFb::DefaultBillards() {
    static const std::vector<TStoredBillard> billards = {{310, "3m10"}, {280, "2m80"}, {260, "2m60"}};
    return billards;
}

std::int32_t TdmFb::CreateCompetDb(const std::string& title, const std::string& discipline, const std::string& season) {
    std::vector<TStoredBillard> billards = Base_.IsOpen() ? Base_.ServerBillards() : std::vector<TStoredBillard>{};
    if (billards.empty()) billards = DefaultBillards();
    return Base_.Create(title, discipline, season, Now(), billards);
}

std::optional<TLocalCompet> TdmFb::FindCompetDb(std::int32_t competition) {
    return Base_.Find(competition);
}

bool TdmFb::IsLocalCompet(std::int32_t competition) {
    const auto found = Base_.Find(competition);
    return found && found->IsLocal();
}

// ---- the open competition

TdmFb::TState TdmFb::State() const {
    TState state;
    state.IdCompet = Compet_.IdCompet();
    const std::vector<TBaseTable>& tables = BaseTables();
    for (std::size_t t = 0; t < tables.size(); ++t) {
        state.Versions[t] = (Dm_.Tables.*tables[t].Table).Data().Version();
    }
    return state;
}

bool TdmFb::Unstored() const {
    return IsOpen() && OpenId_ >= 0 && Compet_.IdCompet() == OpenId_ && !Compet_.Chargement && !Dm_.PartialLoad() &&
           (!Stored_ || *Stored_ != State());
}

void TdmFb::ForgetOpen() {
    OpenId_ = -1;
    OpenOrigin_.clear();
    OpenSeason_.clear();
    Stored_.reset();
}

bool TdmFb::StoreDownload(const std::string& address) {
    ForgetOpen();
    if (Compet_.IdCompet() < 0) return false;
    OpenId_ = Compet_.IdCompet();
    OpenOrigin_ = address;
    OpenSeason_ = SeasonOfTitle(Compet_.Message());
    return StoreCompet();
}

TLocalCompet TdmFb::OpenInfo() {
    TLocalCompet info;
    info.Id = OpenId_;
    info.Title = Compet_.Message();
    info.Discipline = Compet_.Discipline();
    info.Season = OpenSeason_;
    info.Origin = OpenOrigin_;
    info.Changed = Now();
    return info;
}

bool TdmFb::StoreCompet() {
    if (!IsOpen() || OpenId_ < 0 || Compet_.IdCompet() != OpenId_ || Compet_.Chargement || Dm_.PartialLoad()) {
        return false;
    }
    const TState state = State();
    Base_.Store(OpenInfo(), Dm_.Tables);
    Stored_ = state;
    return true;
}

}  // namespace tavlor
