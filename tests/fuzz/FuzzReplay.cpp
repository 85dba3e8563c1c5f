// Replays a fuzz entry over its seed corpus, so every normal test run exercises it without a fuzzer.
// Fails when the corpus folder is missing or empty, so a lost corpus cannot pass unnoticed.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::filesystem::path ExecutableFolder(const char* argv0) {
    return std::filesystem::absolute(std::filesystem::path(argv0)).parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path corpus = argc > 1 ? fs::path(argv[1]) : ExecutableFolder(argv[0]) / "corpus" / HC_FUZZ_CORPUS;
    std::error_code error;
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(corpus, error))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs in %s\n", corpus.string().c_str());
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::ifstream in(input, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%zu inputs replayed from %s\n", inputs.size(), corpus.string().c_str());
    return 0;
}
