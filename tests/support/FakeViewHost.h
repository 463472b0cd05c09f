#pragma once

#include "model/ViewHost.h"

namespace tavlor::test {

// A main window stand-in whose answers the test sets.
class TFakeViewHost : public IViewHost {
public:
    bool TriAlpha = false;
    bool TriAlphaJoueurs() const override { return TriAlpha; }
};

}  // namespace tavlor::test
