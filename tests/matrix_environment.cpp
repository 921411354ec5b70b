// Checks that the machine has every locale and time zone the matrix runs
// in.  The C library falls back to the C locale and to UTC, without a word,
// for a name it does not know, so a missing one would make its part of the
// matrix test nothing.
//
// Usage: matrix_environment --locales NAME... --zones NAME...
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    const char* tzdir = std::getenv("TZDIR");
    const std::filesystem::path zoneinfo = tzdir != nullptr && *tzdir != '\0' ? tzdir : "/usr/share/zoneinfo";
    enum { None, Locales, Zones } reading = None;
    int missing = 0, checked = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--locales") == 0) {
            reading = Locales;
        } else if (std::strcmp(arg, "--zones") == 0) {
            reading = Zones;
        } else if (reading == Locales) {
            ++checked;
            if (std::setlocale(LC_ALL, arg) == nullptr) {
                std::printf("missing locale %s (scripts/test.sh generates it with locale-gen)\n", arg);
                ++missing;
            }
        } else if (reading == Zones) {
            ++checked;
            if (!std::filesystem::is_regular_file(zoneinfo / arg)) {
                std::printf("missing time zone %s in %s (Debian package tzdata)\n", arg,
                            zoneinfo.c_str());
                ++missing;
            }
        } else {
            std::fprintf(stderr, "usage: %s --locales NAME... --zones NAME...\n", argv[0]);
            return 2;
        }
    }
    std::printf("%d of %d locales and time zones present\n", checked - missing, checked);
    return missing == 0 && checked > 0 ? 0 : 1;
}
