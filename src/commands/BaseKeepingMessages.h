#pragma once

#include <string>

// The texts of the keeping of the competitions in the local base.
namespace tavlor::msg::basekeeping {

inline std::string StoreFailed(const std::string& error) {
    return error +
           "\r\nLa compétition n'est pas enregistrée dans la base locale ; Tavlor essaiera de nouveau à la prochaine "
           "modification.";
}

}  // namespace tavlor::msg::basekeeping
