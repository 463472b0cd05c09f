#pragma once

#include "model/TableDefs.h"

#include <string>
#include <vector>

namespace tavlor {

// What the core reads from and writes to the main window without knowing it.
// The user interface implements it; tests replace it with a fake.
class IViewHost {
public:
    virtual ~IViewHost() = default;
    // The captions above the ranking grid and above the match list.
    virtual void SetCaptions(const std::string& ranking, const std::string& matches) = 0;
    // Each column of the ranking grid takes the visibility flag of its field.
    virtual void ApplyColumnVisibility(const std::vector<TFieldDef>& fields) = 0;
    // The hourglass while a view is computed, then the cursor shown before.
    virtual void ShowBusyCursor() = 0;
    virtual void RestoreCursor() = 0;
};

}  // namespace tavlor
