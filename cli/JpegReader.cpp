// JPEG through libjpeg: greyscale stays one channel, everything else is decoded to RGB.
// Errors leave by longjmp out of the decoding frame, which holds no object with a destructor.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

// jpeglib.h relies on size_t and FILE being declared before it.
#include <jpeglib.h>

#include "cli/InputImage.h"

namespace {

struct JpegErrorState {
    jpeg_error_mgr manager;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = "damaged data";
};

void OnJpegError(j_common_ptr info) {
    auto* state = reinterpret_cast<JpegErrorState*>(info->err);
    info->err->format_message(info, state->message);
    longjmp(state->jump, 1);
}

bool DecodeJpeg(jpeg_decompress_struct& info, JpegErrorState& errors, FILE* file, InputImage& image,
                const std::string& path) {
    if (setjmp(errors.jump)) return false;
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space != JCS_GRAYSCALE) info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    SizeInputImage(image, path, info.output_width, info.output_height, info.output_components);
    size_t rowBytes = size_t(image.width) * size_t(image.channels);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

InputImage ReadJpeg(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw ImageReadError(path + ": cannot open the file");
    jpeg_decompress_struct info{};
    JpegErrorState errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegError;
    jpeg_create_decompress(&info);
    InputImage image;
    bool decoded = false;
    try {
        decoded = DecodeJpeg(info, errors, file, image, path);
    } catch (...) {
        jpeg_destroy_decompress(&info);
        std::fclose(file);
        throw;
    }
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    if (!decoded) throw ImageReadError(path + ": not a readable JPEG image (" + errors.message + ")");
    return image;
}
