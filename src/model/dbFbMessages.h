#pragma once

// The texts of the local-database module.
namespace tavlor::msg::dbfb {

inline constexpr const char* NotImplemented = "fonctionnalité non implémentée dans cette version";

}  // namespace tavlor::msg::dbfb
