// Layers as a host holds them, for runs through the simulated host: planar, every sample of a small layer distinct.
// A swapped plane, a flipped row or a wrong stride therefore always shows in what the plug-in reads.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "hostsim/HostSimulator.h"

// Sample (x, y) of plane p is 1 + 40 p + y * width + x (mod 256): distinct while width * height <= 40.
inline uint8_t HostLayerSample(int width, int plane, int x, int y) {
    return uint8_t(1 + plane * 40 + y * width + x);
}

// A layer of `mode` (three colour planes for RGB, one otherwise), then `transparency` (0 or 1) transparency
// planes, `masks` layer masks and `channels` other channels, each plane filled with HostLayerSample.
inline SimImage HostLayer(int16_t mode, int width, int height, int transparency = 0, int masks = 0, int channels = 0) {
    SimImage image;
    image.mode = mode;
    image.width = width, image.height = height;
    image.colorPlanes = mode == plugInModeRGBColor ? 3 : 1;
    image.transparencyPlanes = transparency, image.layerMasks = masks, image.nonLayerPlanes = channels;
    for (int p = 0; p < image.PlaneCount(); ++p) {
        std::vector<uint8_t>& plane = image.planes.emplace_back();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) plane.push_back(HostLayerSample(width, p, x, y));
    }
    return image;
}

// Sets `plane` to 255 (opaque) where `opaque(x, y)` holds and to 0 elsewhere.
template <class Rule>
void SetMask(SimImage& image, int plane, Rule opaque) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.planes[size_t(plane)][size_t(y * image.width + x)] = opaque(x, y) ? 255 : 0;
}

// A layer with many colours, for whole runs: noisy asymmetric gradients in the colour planes (a grey or bitmap
// layer gets the second one), where every tenth row from the second holds exact greys and every tenth from the third
// exact "Netscape" colours, for base palettes to find; then, in HostLayer's order, a transparency plane clear along
// the top row and the left column (so the layer crops) and at scattered holes, layer masks fading from clear at the
// left to opaque at the right, and channels of opaque and clear bands four rows high.
inline SimImage HostPicture(int16_t mode, int width, int height, int transparency = 0, int masks = 0,
                            int channels = 0) {
    SimImage image = HostLayer(mode, width, height, transparency, masks, channels);
    const int firstMask = image.colorPlanes + transparency, firstChannel = firstMask + masks;
    uint32_t noise = 5;
    for (int i = 0; i < width * height; ++i) {
        noise = noise * 1103515245u + 12345u;
        const int x = i % width, y = i / width;
        const uint8_t grey = uint8_t(x * 255 / std::max(width - 1, 1));
        std::array<uint8_t, 3> colour = {uint8_t(x * 4 + (noise >> 29)), uint8_t(y * 6 + x), uint8_t(255 - x * 2 - y)};
        if (y % 10 == 1) colour = {grey, grey, grey};
        if (y % 10 == 2) colour = {uint8_t(x % 6 * 51), uint8_t(x / 6 % 6 * 51), uint8_t(x / 36 % 6 * 51)};
        for (int p = 0; p < image.PlaneCount(); ++p) {
            uint8_t& sample = image.planes[size_t(p)][size_t(i)];
            if (p < image.colorPlanes)
                sample = colour[image.colorPlanes == 1 ? 1 : size_t(p)];
            else if (p < firstMask)
                sample = x == 0 || y == 0 || (x * 3 + y * 5) % 11 == 0 ? 0 : 255;
            else if (p < firstChannel)
                sample = uint8_t(x * 255 / std::max(width - 1, 1));
            else
                sample = y / 4 % 2 ? 255 : 0;
        }
    }
    return image;
}
