// giflib is linked in; Pillow and ImageMagick run as child processes whose output is parsed (a reader that
// refuses the file ends with a failure status, which throws).
#include "tests/support/GifInspect.h"

#include <gif_lib.h>

#include <memory>
#include <sstream>
#include <stdexcept>

#include "tests/support/ModuleFacts.h"

namespace {

template <typename Bytes = std::vector<uint8_t>>
Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(typename Bytes::value_type(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

void ReadGiflibExtensions(const SavedImage& frame, const GifFileType& gif, GifReading& reading) {
    auto scan = [&reading](const ExtensionBlock* blocks, int count) {
        bool inComment = false;  // giflib keeps a comment's later sub-blocks as continuation blocks
        for (int i = 0; i < count; ++i) {
            const ExtensionBlock& block = blocks[i];
            if (block.Function != CONTINUE_EXT_FUNC_CODE) inComment = block.Function == COMMENT_EXT_FUNC_CODE;
            if (inComment) {
                reading.comment.append(reinterpret_cast<const char*>(block.Bytes), size_t(block.ByteCount));
            } else if (block.Function == GRAPHICS_EXT_FUNC_CODE && block.ByteCount >= 4) {
                if (block.Bytes[0] & 1) reading.transparentIndex = block.Bytes[3];
                reading.disposal = (block.Bytes[0] >> 2) & 7;
                reading.delay = block.Bytes[1] | block.Bytes[2] << 8;
            }
        }
    };
    scan(gif.ExtensionBlocks, gif.ExtensionBlockCount);
    scan(frame.ExtensionBlocks, frame.ExtensionBlockCount);
}

}  // namespace

std::vector<GifReading> ReadFramesWithGiflib(const std::string& path) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) throw std::runtime_error("giflib cannot open " + path + ": " + GifErrorString(error));
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> owner(gif, [](GifFileType* g) {
        int ignored;
        DGifCloseFile(g, &ignored);
    });
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1)
        throw std::runtime_error("giflib cannot decode " + path + ": " + GifErrorString(gif->Error));
    std::vector<GifReading> frames;
    for (int f = 0; f < gif->ImageCount; ++f) {
        const SavedImage& frame = gif->SavedImages[f];
        const GifImageDesc& d = frame.ImageDesc;
        GifReading reading;
        reading.left = d.Left, reading.top = d.Top, reading.width = d.Width, reading.height = d.Height;
        reading.interlaced = d.Interlace;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        for (int i = 0; map && i < map->ColorCount; ++i) {
            const GifColorType& c = map->Colors[i];
            reading.palette.insert(reading.palette.end(), {c.Red, c.Green, c.Blue});
        }
        ReadGiflibExtensions(frame, *gif, reading);
        // DGifSlurp de-interlaces, so the raster is in display order.
        reading.indices.assign(frame.RasterBits, frame.RasterBits + size_t(d.Width) * size_t(d.Height));
        frames.push_back(std::move(reading));
    }
    return frames;
}

GifReading ReadWithGiflib(const std::string& path) {
    return ReadFramesWithGiflib(path)[0];
}

GifReading ReadWithPillow(const std::string& path) {
    std::istringstream lines(
        CommandOutput("/usr/bin/python3 " HC_TEST_SUPPORT_DIR "/gif_inspect_pillow.py '" + path + "'"));
    GifReading reading;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string key, value;
        fields >> key >> value;
        // Each line holds one key, so the tests need no else.
        if (key == "size") reading.width = std::stoi(value), fields >> reading.height;
        if (key == "interlaced") reading.interlaced = value == "1";
        if (key == "transparency") reading.transparentIndex = std::stoi(value);
        if (key == "palette") reading.palette = FromHex(value);
        if (key == "indices") reading.indices = FromHex(value);
        if (key == "comment") reading.comment = FromHex<std::string>(value);
    }
    return reading;
}

std::vector<uint8_t> ReadRgbaWithImageMagick(const std::string& path) {
    std::string bytes = CommandOutput("convert '" + path + "[0]' -depth 8 rgba:-");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::vector<uint8_t> ExpectedRgba(const GifReading& reading) {
    std::vector<uint8_t> rgba;
    rgba.reserve(reading.indices.size() * 4);
    for (uint8_t index : reading.indices) {
        bool transparent = index == reading.transparentIndex;
        size_t at = size_t(index) * 3;
        for (int c = 0; c < 3; ++c)
            rgba.push_back(at + 2 < reading.palette.size() ? reading.palette[at + size_t(c)] : 0);
        rgba.push_back(transparent ? 0 : 255);
    }
    return rgba;
}
