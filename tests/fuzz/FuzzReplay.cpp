// Replays a fuzz entry over its seed corpus (or the folder given), so every normal test run exercises it without a
// fuzzer. Fails when the corpus folder is missing or empty, so a lost corpus cannot pass unnoticed.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path corpus =
        argc > 1 ? fs::path(argv[1]) : fs::absolute(fs::path(argv[0])).parent_path() / "corpus" / HC_FUZZ_CORPUS;
    std::error_code error;
    size_t replayed = 0;
    for (const auto& entry : fs::directory_iterator(corpus, error)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++replayed;
    }
    std::printf("%zu inputs replayed from %s\n", replayed, corpus.string().c_str());
    return replayed > 0 ? 0 : 1;
}
