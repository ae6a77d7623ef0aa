// Test entry point: takes the C and C++ locales from the environment, as the application does,
// so a run under LC_ALL=de_DE.UTF-8 exercises a decimal-comma locale. The decimal-comma run
// (TESSEL_EXPECT_DECIMAL_COMMA set) refuses to run in any other locale: it would test nothing.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <locale>
#include <string>

namespace {

// Why the environment's locale is not what the run needs; empty when it is.
std::string localeProblem(bool decimalComma) {
    if (!std::setlocale(LC_ALL, "")) return "the C library cannot set the environment's locale";
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception& e) {
        return std::string("the C++ library cannot make the environment's locale: ") + e.what();
    }
    if (!decimalComma) return {};
    if (std::string(std::localeconv()->decimal_point) != ",")
        return "the C library's decimal point is not a comma";
    if (std::use_facet<std::numpunct<char>>(std::locale()).decimal_point() != ',')
        return "the C++ library's decimal point is not a comma";
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const bool decimalComma = std::getenv("TESSEL_EXPECT_DECIMAL_COMMA") != nullptr;
    if (const std::string problem = localeProblem(decimalComma); !problem.empty()) {
        const char* wanted = std::getenv("LC_ALL");
        std::cerr << "tests_block: " << problem << " (LC_ALL=" << (wanted ? wanted : "")
                  << "; scripts/install-deps generates de_DE.UTF-8)\n";
        if (decimalComma) return 1;
        std::cerr << "tests_block: running in the \"C\" locale\n";
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
