#include "resources/resources.h"

namespace orvadex_resources_data {
struct Entry { const char* name; std::string_view data; };
extern const Entry entries[];
}

namespace resources {
std::optional<std::string_view> find(std::string_view name) {
  for (auto* e = orvadex_resources_data::entries; e->name; ++e)
    if (name == e->name) return e->data;
  return std::nullopt;
}

std::vector<std::string> list(std::string_view prefix) {
  std::vector<std::string> out;
  for (auto* e = orvadex_resources_data::entries; e->name; ++e)
    if (std::string_view(e->name).substr(0, prefix.size()) == prefix) out.emplace_back(e->name);
  return out;
}
}  // namespace resources
