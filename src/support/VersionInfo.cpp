#include "support/VersionInfo.h"

#include "support/VersionTable.h"

namespace tessel {

VersionResource VersionInfo::builtIn() {
    return VersionResource{std::string(kLanguageBlock),
                           {{"CompanyName", TESSEL_COMPANY_NAME},
                            {"FileDescription", TESSEL_FILE_DESCRIPTION},
                            {"FileVersion", TESSEL_VERSION_TEXT},
                            {"InternalName", TESSEL_INTERNAL_NAME},
                            {"ProductName", TESSEL_PRODUCT_NAME},
                            {"ProductVersion", TESSEL_VERSION_TEXT}}};
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
