// Runs a fuzz target over the files of its seed corpus, so that every seed is
// exercised under the sanitizers of the normal test build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    namespace fs = std::filesystem;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> paths;
        if (fs::is_directory(argv[i])) {
            for (const auto &entry : fs::recursive_directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    paths.push_back(entry.path());
        } else {
            paths.emplace_back(argv[i]);
        }
        for (const auto &path : paths) {
            std::ifstream in(path, std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
            ++files;
        }
    }
    // An empty corpus is a broken test, not a passing one.
    if (files == 0) {
        std::fprintf(stderr, "no corpus files\n");
        return 1;
    }
    std::printf("replayed %d files\n", files);
    return 0;
}
