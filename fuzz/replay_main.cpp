// A main() for a fuzz target built without libFuzzer: feeds it every file
// of the corpus directories (or single files) named on the command line,
// in name order, so that the seed corpus runs as an ordinary test.  A broken
// property aborts; an empty corpus is an error too, so a missing directory
// cannot pass unseen.
#include <algorithm>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    // Run in the environment's locale, as the program does once its window
    // starts, so that no parser may lean on the C locale.
    std::setlocale(LC_ALL, "");
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path p(argv[i]);
        if (fs::is_directory(p)) {
            for (const auto& entry : fs::directory_iterator(p))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
        } else if (fs::is_regular_file(p)) {
            files.push_back(p);
        } else {
            std::fprintf(stderr, "no such file or directory: %s\n", argv[i]);
            return 2;
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR_OR_FILE...: no input found\n", argv[0]);
        return 2;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed, every property held\n", files.size());
    return 0;
}
