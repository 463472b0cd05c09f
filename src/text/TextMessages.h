#pragma once

#include <string>
#include <string_view>

// The French messages of the text layer.
namespace tavlor::text::messages {

inline constexpr std::string_view kNotAnInteger = "'%s' n'est pas une valeur entière correcte";
inline constexpr std::string_view kNotAFloat = "'%s' n'est pas une valeur en virgule flottante correcte";
inline constexpr std::string_view kInvalidDate = "'%s' n'est pas une date correcte";
inline constexpr std::string_view kInvalidTime = "'%s' n'est pas une heure correcte";

// The message with its %s replaced by the text.
inline std::string WithText(std::string_view message, std::string_view text) {
    std::string out(message);
    if (const auto at = out.find("%s"); at != std::string::npos) {
        out.replace(at, 2, text);
    }
    return out;
}

}  // namespace tavlor::text::messages
