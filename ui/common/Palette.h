#pragma once

#include <QColor>
#include <QRect>
#include <cmath>

namespace halvorn::ui {

// Drawing colours of the classic 16-colour palette, by the numbers the drawings use.
inline const QColor kBlack(0, 0, 0);       // 0
inline const QColor kGrey(128, 128, 128);  // 8
inline const QColor kRed(255, 0, 0);       // 12
inline const QColor kDarkGrey(64, 64, 64);
inline const QColor kBowtieBlue(0, 0, 255);
// Faces and panels of the screens.
inline const QColor kLightYellow(255, 255, 192);
inline const QColor kLightCyan(192, 255, 255);
inline const QColor kInputBlue(0, 0, 255);

// Screens are laid out in twips: 15 twips are one device-independent pixel (96 dpi); Qt scales
// device-independent pixels to the screen's real DPI.
inline int Twips(double twips) {
    return static_cast<int>(std::lround(twips / 15.0));
}
inline QRect TwipsRect(double left, double top, double width, double height) {
    return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

}  // namespace halvorn::ui
