// Scratch memory for one operation (tiles, error rows, work copies), released on every way out.
// Sizes arrive as 64-bit products; one that no buffer can hold is refused as out of memory before any allocation.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>

#include "cvcode2/CvErrorCode.h"

class CvTempBuffer {
public:
    explicit CvTempBuffer(uint64_t bytes) {
        if (bytes > UINT32_MAX || bytes > SIZE_MAX) CV_THROW(kCvErrNoMemory);
        data = CvAllocated(new (std::nothrow) uint8_t[bytes ? size_t(bytes) : 1]);
    }
    ~CvTempBuffer() { delete[] data; }
    CvTempBuffer(const CvTempBuffer&) = delete;
    CvTempBuffer& operator=(const CvTempBuffer&) = delete;
    uint8_t* Data() const { return data; }
    template <typename T>
    T* As() const {
        return reinterpret_cast<T*>(data);
    }

private:
    uint8_t* data;
};
