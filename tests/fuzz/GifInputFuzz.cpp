// Fuzz entry for a GIF given to the command as its input: any bytes as the file, read through the plug-in's GIF
// reader into the image of its first frame. Whatever it accepts must be an image of the promised size.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/InputImage.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/ImageReaderCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzFile("input.gif", data, size);
    CheckImageReader([&] { return ReadGif(path); });
    return 0;
}
