#pragma once

#include "model/TableDefs.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavlor {

// What the core reads from and writes to the main window without knowing it.
// The user interface implements it; tests replace it with a fake.
class IViewHost {
public:
    virtual ~IViewHost() = default;
    // The check mark of the command "tri alpha des inscrits": registrants and
    // pool members ordered by name instead of by rank.
    virtual bool TriAlphaJoueurs() const = 0;
    // The captions above the ranking grid and above the match list.
    virtual void SetCaptions(const std::string& ranking, const std::string& matches) = 0;
    // Each column of the ranking grid takes the visibility flag of its field.
    virtual void ApplyColumnVisibility(const std::vector<TFieldDef>& fields) = 0;
    // The hourglass while a view is computed, then the cursor shown before.
    virtual void ShowBusyCursor() = 0;
    virtual void RestoreCursor() = 0;
    // The kind of the tree's focused node; 2 when no node has the focus.
    virtual std::uint8_t FocusedNodeKind() const = 0;
};

}  // namespace tavlor
