#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tessel {

// The enumerator whose name stands at its index in names; nothing for an unknown name. The
// station's files name their enumerations in such tables.
template <typename E, std::size_t N>
std::optional<E> namedIn(const char* const (&names)[N], std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (name == names[i]) return static_cast<E>(i);
    return std::nullopt;
}

inline constexpr const char* kUnitKindNames[] = {"new", "retry", "rework"};

} // namespace tessel
