#include "app/InputFile.h"

#include "support/SystemError.h"
#include "support/Utf8File.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tessel {

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

InputFile readInputFile(const std::string& path) {
    InputFile file;
    std::error_code ec;
    const auto status = std::filesystem::status(utf8Path(path), ec);
    if (ec) {
        file.reason = systemErrorText(ec);
        return file;
    }
    if (std::filesystem::is_directory(status)) {
        file.reason = "it is a folder";
        return file;
    }
    const std::unique_ptr<std::FILE, FileCloser> in(openUtf8File(path, "rb"));
    if (!in) {
        file.reason = openFailure();
        return file;
    }
    char buffer[8192];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0)
        file.bytes.append(buffer, n);
    if (std::ferror(in.get())) {
        file.bytes.clear();
        file.reason = std::strerror(errno != 0 ? errno : EIO);
        return file;
    }
    file.read = true;
    return file;
}

} // namespace tessel
