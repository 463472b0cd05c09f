#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace tavlor::fuzz {

// Several inputs in one: the parts of the fuzzer's bytes separated by byte 1,
// at most `count` of them (the last one keeps any further byte 1).
inline std::vector<std::string_view> Parts(std::string_view input, std::size_t count) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find('\x01');
        if (at == std::string_view::npos) {
            break;
        }
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + 1);
    }
    parts.push_back(input);
    return parts;
}

// Reads fixed-size numbers off the front of the bytes; zeros once they run out.
class TReader {
public:
    explicit TReader(std::string_view bytes) : Bytes_(bytes) {}
    template <class T>
    T Take() {
        T v{};
        const std::size_t n = std::min(sizeof v, Bytes_.size());
        std::memcpy(&v, Bytes_.data(), n);
        Bytes_.remove_prefix(n);
        return v;
    }
    std::string_view Rest() const { return Bytes_; }

private:
    std::string_view Bytes_;
};

// A property that does not hold is a finding: say which, and stop.
#define TAVLOR_FUZZ_CHECK(cond)                                                           \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

}  // namespace tavlor::fuzz
