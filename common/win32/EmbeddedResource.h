#pragma once
// Resources of the running executable, read in place.

#include <optional>
#include <string_view>

// The bytes of resource `id` of `type`, valid for the life of the process; nullopt when the
// executable has no such resource.
std::optional<std::string_view> FindEmbeddedResource(int id, const wchar_t* type);
