#pragma once

#include <stdexcept>
#include <string>

namespace tavlor {

// An error that ends the command that raised it: a check that can only fail on
// inconsistent data, a conversion of a received field, a transport failure or a
// cancel. Its text is French and is shown as it stands by the top-level error
// display of the user interface.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text) : std::runtime_error(text) {}
};

// The user's own cancel of a running exchange: it ends the command like any
// error, but the user was told when he cancelled, so nothing more is shown.
class Cancelled : public Error {
public:
    explicit Cancelled(const std::string& text) : Error(text) {}
};

}  // namespace tavlor
