#include "commands/LocalCompet.h"

#include "commands/CommandsMessages.h"
#include "commands/UserBoxes.h"
#include "model/Communs.h"
#include "text/DateTime.h"
#include "text/Numbers.h"

namespace tavlor {

namespace m = msg::commands;

const std::vector<std::string>& Disciplines() {
    static const std::vector<std::string> disciplines = {"3Bandes", "Cadre", "Bande", "Libre"};
    return disciplines;
}

std::string SeasonOf(double date) {
    const text::TDateTimeParts p = text::DecodeDateTime(date);
    const int first = p.Month >= 7 ? p.Year : p.Year - 1;
    return text::IntToStr(first) + "-" + text::IntToStr(first + 1);
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool RegisterNewPlayer(TCompetition& compet, IUserBoxes& boxes) {
    std::string typed;
    if (!boxes.InputQuery(m::NewPlayerCaption, m::NewPlayerLicence, typed)) return false;
    const auto licence = text::ParseInt32(Trimmed(typed));
    if (!licence || *licence <= 0) {
        boxes.Error(m::LicenceNotPositive(Trimmed(typed)));
        return false;
    }
    std::string name;
    if (!boxes.InputQuery(m::NewPlayerCaption, m::NewPlayerName, name)) return false;
    name = Trimmed(name);
    if (name.empty()) {
        boxes.Error(m::NameRequired);
        return false;
    }
    if (compet.AddInscrit(*licence, -1, name)) return true;
    boxes.Error(compet.LastError);
    return false;
}

}  // namespace tavlor
