// SPDX-License-Identifier: MIT
#pragma once

#include "ui/Placed.h"

#include <QPaintDevice>
#include <QRect>
#include <cmath>

namespace logwarden::gui {

// Twips to pixels and back with the screen's logical DPI (15 twips a pixel at 96 DPI).
class Twips {
public:
    explicit Twips(const QPaintDevice& device)
        : mDpiX(device.logicalDpiX()), mDpiY(device.logicalDpiY()) {}
    Twips(double dpiX, double dpiY) : mDpiX(dpiX), mDpiY(dpiY) {}

    int toPixelsX(double twips) const {
        return static_cast<int>(std::lround(twips * mDpiX / 1440));
    }
    int toPixelsY(double twips) const {
        return static_cast<int>(std::lround(twips * mDpiY / 1440));
    }
    double fromPixelsX(int pixels) const { return pixels * 1440.0 / mDpiX; }
    double fromPixelsY(int pixels) const { return pixels * 1440.0 / mDpiY; }

    QRect toPixels(const ui::Rect& r) const {
        return {toPixelsX(r.left), toPixelsY(r.top), toPixelsX(r.width), toPixelsY(r.height)};
    }

private:
    double mDpiX;
    double mDpiY;
};

} // namespace logwarden::gui
