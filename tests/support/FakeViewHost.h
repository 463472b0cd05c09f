#pragma once

#include "model/ViewHost.h"

#include <string>
#include <vector>

namespace tavlor::test {

// A main window stand-in: answers what the test sets and records what it is told.
class TFakeViewHost : public IViewHost {
public:
    std::string RankingCaption;
    std::string MatchesCaption;
    std::vector<std::string> VisibleColumns;  // names of the shown columns, in field order
    int BusyDepth = 0;                        // hourglass shown and not yet restored
    int BusyCount = 0;

    void SetCaptions(const std::string& ranking, const std::string& matches) override {
        RankingCaption = ranking;
        MatchesCaption = matches;
    }
    void ApplyColumnVisibility(const std::vector<TFieldDef>& fields) override {
        VisibleColumns.clear();
        for (const TFieldDef& f : fields) {
            if (f.Visible) {
                VisibleColumns.push_back(f.Name);
            }
        }
    }
    void ShowBusyCursor() override {
        ++BusyDepth;
        ++BusyCount;
    }
    void RestoreCursor() override { --BusyDepth; }
};

}  // namespace tavlor::test
