// Test entry point: takes the C and C++ locales from the environment, as the application does,
// so a run under LC_ALL=de_DE.UTF-8 exercises a decimal-comma locale.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception&) {
        // An unknown locale name leaves the C++ locale classic; the C check below reports it.
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
