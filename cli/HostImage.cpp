// The file's pixels become the host's image: grey images are Grayscale documents, colour ones RGB; an alpha
// channel is split off into the transparency plane, which follows the colour planes as a host orders them.
#include "cli/HostImage.h"

#include <utility>

SimImage ToHostImage(InputImage&& image) {
    SimImage host;
    host.width = image.width;
    host.height = image.height;
    const bool grey = image.channels <= 2;
    const bool alpha = image.channels % 2 == 0;
    host.mode = grey ? plugInModeGrayScale : plugInModeRGBColor;
    host.colorPlanes = grey ? 1 : 3;
    host.transparencyPlanes = alpha ? 1 : 0;
    if (!alpha) {
        host.color = std::move(image.pixels);
        return host;
    }
    const size_t pixels = size_t(image.width) * size_t(image.height);
    const size_t colors = size_t(host.colorPlanes), stride = size_t(image.channels);
    host.color.resize(pixels * colors);
    host.planes.assign(1, std::vector<uint8_t>(pixels));
    for (size_t i = 0; i < pixels; ++i) {
        for (size_t c = 0; c < colors; ++c) host.color[i * colors + c] = image.pixels[i * stride + c];
        host.planes[0][i] = image.pixels[i * stride + colors];
    }
    std::vector<uint8_t>().swap(image.pixels);
    return host;
}
