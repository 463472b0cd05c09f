#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The French messages of the text layer.
namespace tavlor::msg::text {

// Longest piece of a received text that a message quotes, in bytes.
inline constexpr std::size_t QuoteLimit = 40;

// The text as a message quotes it: whole when short, else its beginning (never
// cut inside a UTF-8 character) followed by "...", so that a huge field read
// from a file or a reply never makes a huge message.
inline std::string Excerpt(std::string_view text) {
    if (text.size() <= QuoteLimit) {
        return std::string(text);
    }
    std::size_t end = QuoteLimit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(text.substr(0, end)) + "...";
}

// A received text quoted in a message is an excerpt of it.
inline std::string NotAnInteger(std::string_view text) {
    return "'" + Excerpt(text) + "' n'est pas une valeur entière correcte";
}
inline std::string NotAFloat(std::string_view text) {
    return "'" + Excerpt(text) + "' n'est pas une valeur en virgule flottante correcte";
}
inline std::string InvalidDate(std::string_view text) {
    return "'" + Excerpt(text) + "' n'est pas une date correcte";
}
inline std::string InvalidTime(std::string_view text) {
    return "'" + Excerpt(text) + "' n'est pas une heure correcte";
}

}  // namespace tavlor::msg::text
