#pragma once

// The texts of the main window.
namespace tavlor::msg::main {

// Ranking grid titles that are not the fields' labels.
inline constexpr const char* ColClasst = "Classt";
inline constexpr const char* ColPoule = "POULE";
inline constexpr const char* ColVict = "% Vict";
inline constexpr const char* ColMoy = "Moy";
inline constexpr const char* ColMatchs = "Matchs";

}  // namespace tavlor::msg::main
