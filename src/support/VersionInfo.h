#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessel {

// A program's version strings as its resource holds them: one string table per language block
// ("040904E4" is US English, Windows Latin-1). This program's own table is compiled in.
struct VersionResource {
    std::string languageBlock;
    std::vector<std::pair<std::string, std::string>> strings;
};

// The version texts the program shows in its title, log and about window. Every value that
// cannot be read is "Not Found".
class VersionInfo {
public:
    static constexpr std::string_view kNotFound = "Not Found";
    static constexpr std::string_view kLanguageBlock = "040904E4";
    // The keys read, in the order they are read.
    static constexpr std::array<std::string_view, 8> kKeys = {
        "ProductName", "FileDescription", "LegalCopyRight", "Author",
        "CompanyName", "FileVersion",     "ProductVersion", "Status"};

    // All eight values empty until read.
    VersionInfo() = default;
    // Reads the resource; a program without one is std::nullopt.
    explicit VersionInfo(const std::optional<VersionResource>& resource) { read(resource); }

    // This program's own version resource.
    static VersionResource builtIn();

    // True when there is a resource. The first six values become "Not Found" first; the last
    // two keep their values when there is no resource at all.
    bool read(const std::optional<VersionResource>& resource);

    // The value of one of kKeys; "Not Found" for any other key.
    const std::string& value(std::string_view key) const;

    const std::string& productName() const { return values_[0]; }
    const std::string& fileDescription() const { return values_[1]; }
    const std::string& legalCopyRight() const { return values_[2]; }
    const std::string& author() const { return values_[3]; }
    const std::string& companyName() const { return values_[4]; }
    const std::string& fileVersion() const { return values_[5]; }
    const std::string& productVersion() const { return values_[6]; }
    const std::string& status() const { return values_[7]; }

private:
    std::array<std::string, 8> values_;
};

} // namespace tessel
