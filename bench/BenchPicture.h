// The pictures the benchmarks work on: the photo named by HALCYNE_BENCH_PPM (any image the command reads), or a
// deterministic photo-like stand-in, and that photo's 256-colour dithered indices as the plug-in would export them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cvcode2/CvColorTable.h"

struct BenchPicture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes per pixel, rows top first
    uint32_t Pixels() const { return width * height; }
};

// Any image file the command-line tool reads, as RGB: grey is spread to three channels, alpha dropped.
BenchPicture ReadBenchPicture(const std::string& path);

// The photo, read once.
const BenchPicture& BenchPhoto();

// The plug-in's 256-colour adaptive palette of a picture and its inverse map: histogram, near-black fold, median cut.
void BenchAdaptivePalette(const BenchPicture& picture, CvColorTable& palette, std::vector<uint8_t>& map);
// The fine palette of a picture: fine histogram, error-minimising cut, four k-means passes.
CvColorTable BenchFinePalette(const BenchPicture& picture);

// Reduces a picture to 256 adaptive colours with dithering 5, as the plug-in's adaptive path does: the adaptive
// palette, then the dithered remap. One index byte per pixel, rows top first.
void ReduceBenchPicture(const BenchPicture& picture, std::vector<uint8_t>& indices);

// The photo's indices from ReduceBenchPicture, made once.
const std::vector<uint8_t>& BenchPhotoIndices();
