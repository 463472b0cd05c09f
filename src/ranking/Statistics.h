#pragma once

#include "model/CompetTables.h"
#include "model/Element.h"
#include "model/Triage.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tavlor {

// The filter on Matchs that selects the matches of a tree element (kind, number,
// parent number); none for a kind outside 0 to 4. The registrants folder (2)
// selects every match: an empty filter.
std::optional<std::string> MatchFilter(const TElement& element);

// Player statistics of the selected element: FiltreMatchs receives a copy of
// every selected match, FiltreJoueurs one row of totals per player and pool
// (weighted points, innings, best run, match points, matches, win rate,
// average, best match average). Ranks are left empty.
// A total held in 64 bits as an integer field shows it: kept to the 32-bit range.
inline std::int32_t ClampedTotal(std::int64_t total) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// A value of one of FiltreJoueurs' stored fields, which are all numbers:
// null, an integer or a real number, in 16 bytes rather than a TValue's 40,
// so that the rows being ranked stay close together in memory.
using TFigure = std::variant<std::monostate, std::int32_t, double>;

inline bool IsNull(const TFigure& v) {
    return v.index() == 0;
}
inline std::int32_t ValueAsInteger(const TFigure& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    const double* d = std::get_if<double>(&v);
    return d == nullptr ? 0 : ValueAsInteger(TValue(*d));
}
inline double ValueAsFloat(const TFigure& v) {
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    const std::int32_t* i = std::get_if<std::int32_t>(&v);
    return i == nullptr ? 0.0 : *i;
}
// A stored value as a figure: a text (which a number field never holds) is
// read as a number.
inline TFigure ToFigure(const TValue& v) {
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    return v.index() == 0 ? TFigure() : TFigure(ValueAsFloat(v));
}
inline void CopyValue(TValue& dst, const TFigure& src) {
    if (const auto* i = std::get_if<std::int32_t>(&src)) {
        dst.emplace<std::int32_t>(*i);
    } else if (const auto* d = std::get_if<double>(&src)) {
        dst.emplace<double>(*d);
    } else {
        dst.emplace<std::monostate>();
    }
}

// Rows of FiltreJoueurs held outside the table while they are numbered: the
// stored values of each row, Stride of them, one row after the other.
struct TFigureRows {
    std::size_t Stride = 0;
    std::vector<TFigure> Cells;

    std::size_t Size() const { return Stride == 0 ? 0 : Cells.size() / Stride; }
    TFigure* Row(std::size_t i) { return Cells.data() + i * Stride; }
    const TFigure* Row(std::size_t i) const { return Cells.data() + i * Stride; }
    TFigure* Add() {
        Cells.resize(Cells.size() + Stride);
        return Cells.data() + Cells.size() - Stride;
    }
    // Appends them to a table of these stored fields, in this order.
    void AppendTo(TTable& table) const;
    // Appends these rows of Stride figures each, in this order.
    static void Append(TTable& table, const std::vector<const TFigure*>& rows, std::size_t stride);
};

class TStatistics {
public:
    // Installs the match averages and the win-rate text on the shown tables.
    explicit TStatistics(TCompetTables& tables);
    TStatistics(const TStatistics&) = delete;
    TStatistics& operator=(const TStatistics&) = delete;

    // Fills PhaseList and PoolList with the phases and pools of the selected
    // matches, each once, in the order of their first match.
    void CalcCumuls(const TElement& element, TListTri& phaseList, TListTri& poolList);
    // CalcCumuls with FiltreJoueurs left empty: its rows are returned instead
    // (stored values, in the order CalcCumuls appends them), for the rankings
    // to number before they are written once. They stay valid until the next call.
    TFigureRows& Cumuls(const TElement& element, TListTri& phaseList, TListTri& poolList);

    // MOY1 and MOY2 of a match row: raw averages, the coefficient left out.
    static void FiltreMatchsCalcFields(TTable& row);
    // The win rate as shown: "75 %"; an empty one reads "0 %".
    static std::string FiltreJoueursTVGetText(const TValue& tv);

private:
    TCompetTables& Tables_;
    std::unique_ptr<TTable> Matchs_;  // filtered while the statistics are computed
    TFigureRows Rows_;                // kept from one view to the next: its memory is reused
};

}  // namespace tavlor
