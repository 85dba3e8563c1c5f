// De-interleaving of file pixels into host planes; grey images become Grayscale documents, colour ones RGB.
// The plane order is the host's: colour planes first, transparency after.
#include "cli/HostImage.h"

SimImage ToHostImage(const InputImage& image) {
    SimImage host;
    host.width = image.width;
    host.height = image.height;
    bool grey = image.channels <= 2;
    host.mode = grey ? plugInModeGrayScale : plugInModeRGBColor;
    host.colorPlanes = grey ? 1 : 3;
    host.transparencyPlanes = image.channels % 2 == 0 ? 1 : 0;
    size_t pixels = size_t(image.width) * size_t(image.height);
    host.planes.assign(size_t(image.channels), std::vector<uint8_t>(pixels));
    for (size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < image.channels; ++c)
            host.planes[size_t(c)][i] = image.pixels[i * size_t(image.channels) + size_t(c)];
    return host;
}
