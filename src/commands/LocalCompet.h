#pragma once

#include <string>
#include <vector>

namespace tavlor {

class IUserBoxes;
class TCompetition;

// What the commands ask of the user for the competitions of this computer.

// The disciplines a competition may be of, as a download names them from its
// server's address, in the order of the address box.
const std::vector<std::string>& Disciplines();

// The season a date falls in: from July on, the season that starts that year
// ("2025-2026" from 1 July 2025 to 30 June 2026).
std::string SeasonOf(double date);

// A typed text without the spaces at either end, which are no part of it.
std::string Trimmed(const std::string& text);

// A player the search cannot find (the local base does not know him yet):
// his licence, then his name, asked in input boxes, and the player
// registered. False when the user cancelled, or after the error box of a
// refusal (a licence that is no positive whole number, an empty name, a
// licence already registered).
bool RegisterNewPlayer(TCompetition& compet, IUserBoxes& boxes);

}  // namespace tavlor
