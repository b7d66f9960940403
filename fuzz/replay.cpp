// Plays each file named on the command line through the fuzz target, without the fuzzer,
// so that any build can run the committed corpus.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

bool slurp(const char *path, std::string &content) {
    std::FILE *file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    std::array<char, 4096> chunk{};
    std::size_t n = 0;
    while ((n = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
        content.append(chunk.data(), n);
    }
    const bool read_all = std::ferror(file) == 0;
    std::fclose(file);
    return read_all;
}

}  // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        std::string input;
        if (!slurp(argv[i], input)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
    }
    std::printf("replayed %d inputs\n", argc - 1);
    return 0;
}
