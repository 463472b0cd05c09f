#pragma once

#include <string>
#include <string_view>

namespace tavlor {

// The MD5 digest (RFC 1321) of the bytes, as 32 lowercase hexadecimal digits.
std::string Md5Hex(std::string_view bytes);

}  // namespace tavlor
