#pragma once

#include <string>

namespace tavlor {

// The program's version, major.minor.release (for 2.0.3.0: "2.0.3").
std::string GetVersion();

}  // namespace tavlor
