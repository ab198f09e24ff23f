#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Data files of the resources folder, built into the program.
namespace resources {
// The content of the file at `name` (path relative to resources/), if it exists.
std::optional<std::string_view> find(std::string_view name);
// Names of all built-in files whose path begins with `prefix`.
std::vector<std::string> list(std::string_view prefix = {});
}  // namespace resources
