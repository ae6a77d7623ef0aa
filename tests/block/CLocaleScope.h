#pragma once

#include <clocale>
#include <locale.h>
#include <string>

namespace tessel::testing {

// This thread's C library formats in the "C" locale while the scope lasts, whatever the
// process's locale is (per-thread locales: uselocale on POSIX, _configthreadlocale on Windows).
class CLocaleScope {
public:
#ifdef _WIN32
    CLocaleScope() : previousMode_(_configthreadlocale(_ENABLE_PER_THREAD_LOCALE)) {
        const char* name = std::setlocale(LC_ALL, nullptr);
        previous_ = name ? name : "C";
        std::setlocale(LC_ALL, "C");
    }
    ~CLocaleScope() {
        std::setlocale(LC_ALL, previous_.c_str());
        _configthreadlocale(previousMode_);
    }
    bool active() const { return true; }

private:
    int previousMode_;
    std::string previous_;
#else
    CLocaleScope()
        : c_(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0))),
          previous_(c_ ? uselocale(c_) : static_cast<locale_t>(0)) {}
    ~CLocaleScope() {
        if (!c_) return;
        uselocale(previous_);
        freelocale(c_);
    }
    bool active() const { return c_ != static_cast<locale_t>(0); }

private:
    locale_t c_;
    locale_t previous_;
#endif
public:
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;
};

} // namespace tessel::testing
