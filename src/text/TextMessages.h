#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The French messages of the text layer.
namespace tavlor::text::messages {

inline constexpr std::string_view kNotAnInteger = "'%s' n'est pas une valeur entière correcte";
inline constexpr std::string_view kNotAFloat = "'%s' n'est pas une valeur en virgule flottante correcte";
inline constexpr std::string_view kInvalidDate = "'%s' n'est pas une date correcte";
inline constexpr std::string_view kInvalidTime = "'%s' n'est pas une heure correcte";

// Longest piece of a received text that a message quotes, in bytes.
inline constexpr std::size_t kQuoteLimit = 40;

// The text as a message quotes it: whole when short, else its beginning (never
// cut inside a UTF-8 character) followed by "...", so that a huge field read
// from a file or a reply never makes a huge message.
inline std::string Excerpt(std::string_view text) {
    if (text.size() <= kQuoteLimit) {
        return std::string(text);
    }
    std::size_t end = kQuoteLimit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(text.substr(0, end)) + "...";
}

// The message with its %s replaced by an excerpt of the text.
inline std::string WithText(std::string_view message, std::string_view text) {
    std::string out(message);
    if (const auto at = out.find("%s"); at != std::string::npos) {
        out.replace(at, 2, Excerpt(text));
    }
    return out;
}

}  // namespace tavlor::text::messages
