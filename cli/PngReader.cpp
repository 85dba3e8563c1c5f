// PNG through libpng: every bit depth and colour type becomes 8-bit grey, grey + alpha, RGB or RGBA;
// 16-bit samples are scaled with rounding, palette and tRNS transparency are expanded to samples.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "cli/InputImage.h"

namespace {

struct PngReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[256] = "damaged data";
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    longjmp(png_jmpbuf(png), 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp, so this frame holds no object with a destructor.
// Returns false with state.message set when the file is damaged.
bool DecodePng(PngReadState& state, FILE* file, InputImage& image, const std::string& path) {
    if (setjmp(png_jmpbuf(state.png))) return false;
    png_init_io(state.png, file);
    png_read_info(state.png, state.info);
    png_set_scale_16(state.png);
    png_set_packing(state.png);
    png_set_expand_gray_1_2_4_to_8(state.png);
    png_set_palette_to_rgb(state.png);
    if (png_get_valid(state.png, state.info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(state.png);
    int passes = png_set_interlace_handling(state.png);
    png_read_update_info(state.png, state.info);
    int channels = png_get_channels(state.png, state.info);
    SizeInputImage(image, path, png_get_image_width(state.png, state.info), png_get_image_height(state.png, state.info),
                   channels);
    size_t rowBytes = size_t(image.width) * size_t(channels);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < image.height; ++y)
            png_read_row(state.png, image.pixels.data() + rowBytes * size_t(y), nullptr);
    png_read_end(state.png, nullptr);
    return true;
}

}  // namespace

InputImage ReadPng(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw ImageReadError(path + ": cannot open the file");
    PngReadState state;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    state.info = state.png ? png_create_info_struct(state.png) : nullptr;
    InputImage image;
    bool decoded = false;
    try {
        decoded = state.info && DecodePng(state, file, image, path);
    } catch (...) {
        png_destroy_read_struct(&state.png, &state.info, nullptr);
        std::fclose(file);
        throw;
    }
    png_destroy_read_struct(&state.png, &state.info, nullptr);
    std::fclose(file);
    if (!decoded) throw ImageReadError(path + ": not a readable PNG image (" + state.message + ")");
    return image;
}
