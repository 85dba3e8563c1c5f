// A framed square of one colour drawn on a dialog, beside a palette strip: it shows the entry the user clicked.
// Its picture always holds the colour last set; moving it only changes where it is copied to.
#include "wnatom/WnSwatch.h"

WnSwatch::WnSwatch(HWND dialog, int left, int top, int size) : left(left), top(top) {
    picture.Create(dialog, size, size, true);
    picture.DrawFrame();
    picture.FillInside(255, 255, 255);
}

void WnSwatch::SetColor(HcRgb rgb) {
    picture.FillInside(rgb.red, rgb.green, rgb.blue);
    Draw();
}

void WnSwatch::MoveTo(int newLeft, int newTop) {
    left = newLeft;
    top = newTop;
}

bool WnSwatch::Contains(POINT point) const {
    return point.x >= left && point.x < left + picture.Width() && point.y >= top && point.y < top + picture.Height();
}

void WnSwatch::Draw() const {
    picture.Blit(left, top, 0, 0, picture.Width(), picture.Height());
}
