// Construction of errors; the only work is bounding the file name to what the length byte can say.
// The stored name is always NUL-terminated and its length byte equals its length.
#include "CvErrorCode.h"

#include <cstring>

CvErrorCode::CvErrorCode(uint32_t code_, const char* file_, uint32_t line_) : CvErrorCode(code_, 0, file_, line_) {}

CvErrorCode::CvErrorCode(uint32_t code_, uint32_t detail_, const char* file_, uint32_t line_)
    : code(code_), detail(detail_), file{}, line(line_) {
    SetFile(file_);
}

CvErrorCode::CvErrorCode(const CvErrorCode& from, const char*, uint32_t) : CvErrorCode(from) {}

void CvErrorCode::SetFile(const char* path) {
    size_t length = path ? std::strlen(path) : 0;
    if (length > 255) length = 255;
    file[0] = static_cast<unsigned char>(length);
    if (length) std::memcpy(file + 1, path, length);
    file[length + 1] = 0;
}
