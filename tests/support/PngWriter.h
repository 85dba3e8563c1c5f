// A minimal PNG encoder for test screenshots: 8-bit RGB, no filtering, stored (uncompressed) deflate blocks.
// Output is a complete, valid PNG file that any reader opens; it needs no compression library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes the PNG file of `rgb` (width × height × 3 bytes, rows top first), creating its folder; throws
// std::runtime_error when the file cannot be written.
void WritePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
