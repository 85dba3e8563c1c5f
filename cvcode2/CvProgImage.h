// An image shown only down to its line of ready rows; the rows below are painted in a placeholder colour, so a
// preview can be drawn while the rest is still being computed. Refers to its source without owning it.
#pragma once

#include "cvcode2/CvImageView.h"

class CvProgImage : public CvImageView {
public:
    explicit CvProgImage(const CvImage* source);

    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void GetRGBMasked(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    // Paints the rectangle's rows from the ready line down with the placeholder colour, through `mask` if given.
    virtual void PaintPending(const CvImage* mask, CV_RECT_PARAMS, CV_DST_PARAMS) const;
    // Stores the source and takes its size; null leaves 0 x 0 and no ready rows.
    virtual void SetSource(const CvImage* source);
    // Rows past the source's height are a caller error: checked, then held to the height.
    virtual void SetRowsReady(uint32_t rows);

    uint32_t RowsReady() const { return rowsReady; }
    void SetPlaceholder(uint8_t r, uint8_t g, uint8_t b);

private:
    const CvImage* source = nullptr;
    uint32_t rowsReady = 0;
    uint8_t placeholder[3] = {255, 255, 255};
};
