#include "support/VersionInfo.h"

namespace tessel {

VersionResource VersionInfo::builtIn() {
    return VersionResource{std::string(kLanguageBlock),
                           {{"CompanyName", "Tessel Bench Tools"},
                            {"FileDescription", "Light bar configuration and firmware programmer"},
                            {"FileVersion", "3.6"},
                            {"InternalName", "Tessel"},
                            {"ProductName", "Tessel"},
                            {"ProductVersion", "3.6"}}};
}

bool VersionInfo::read(const std::optional<VersionResource>& resource) {
    for (std::size_t i = 0; i < 6; ++i) values_[i] = std::string(kNotFound);
    if (!resource) return false;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        values_[i] = std::string(kNotFound);
        if (resource->languageBlock != kLanguageBlock) continue;
        for (const auto& [key, text] : resource->strings)
            if (key == kKeys[i]) {
                values_[i] = text;
                break;
            }
    }
    return true;
}

const std::string& VersionInfo::value(std::string_view key) const {
    static const std::string notFound(kNotFound);
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        if (kKeys[i] == key) return values_[i];
    return notFound;
}

} // namespace tessel
