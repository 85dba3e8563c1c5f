// Fuzz entry for the command's PGM/PPM/PAM reader: any bytes as a file's content. Whatever it accepts must be an
// image of the promised size within the host's limits; anything else must be refused with a message.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/InputImage.h"
#include "tests/fuzz/ImageReaderCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckImageReader([&] { return ReadPnm("fuzz.pnm", bytes); });
    return 0;
}
