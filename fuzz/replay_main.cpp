// Runs a fuzz target over every file of the folders (or files) it is given,
// so the stored corpus and past crash inputs stay regression tests in builds
// without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static int runFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Exact-size heap copy so an over-read is caught by sanitizers or valgrind.
    std::vector<uint8_t> buf(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(buf.empty() ? nullptr : buf.data(), buf.size());
    return 1;
}

int main(int argc, char **argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(p, ec)) {
            for (const auto &e : std::filesystem::recursive_directory_iterator(p, ec))
                if (e.is_regular_file())
                    count += runFile(e.path());
        } else if (std::filesystem::is_regular_file(p, ec)) {
            count += runFile(p);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
