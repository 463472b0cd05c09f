#pragma once

namespace tavlor {

// What the core reads from and writes to the main window without knowing it.
// The user interface implements it; tests replace it with a fake.
class IViewHost {
public:
    virtual ~IViewHost() = default;
    // The check mark of the command "tri alpha des inscrits": registrants and
    // pool members ordered by name instead of by rank.
    virtual bool TriAlphaJoueurs() const = 0;
};

}  // namespace tavlor
