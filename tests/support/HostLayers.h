// Layers as a host holds them, for runs through the simulated host: planar, every sample of a small layer distinct.
// A swapped plane, a flipped row or a wrong stride therefore always shows in what the plug-in reads.
#pragma once

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
