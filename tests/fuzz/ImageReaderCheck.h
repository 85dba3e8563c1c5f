// What every fuzzed image reader of the command must keep: an image it returns has the size it states, within the
// host's limits, and one to four channels; a refusal is an ImageReadError. Anything else aborts.
#pragma once

#include <cstdlib>
#include <new>

#include "cli/InputImage.h"

template <typename Read>
void CheckImageReader(Read read) {
    try {
        const InputImage image = read();
        const bool sound = image.width > 0 && image.width <= kMaxImageSide && image.height > 0 &&
                           image.height <= kMaxImageSide && image.channels >= 1 && image.channels <= 4 &&
                           image.pixels.size() == size_t(image.width) * size_t(image.height) * size_t(image.channels);
        if (!sound) std::abort();
    } catch (const ImageReadError&) {
        // a refusal with a message is a correct outcome
    } catch (const std::bad_alloc&) {
        // an image as large as the limits allow may not fit in the fuzzer's memory
    }
}
