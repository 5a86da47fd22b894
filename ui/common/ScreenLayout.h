#pragma once

// Small helpers the screens share for their fixed layouts in twips: the row type of the layout tables,
// fonts, colours, label placement, window set-up and centring.

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <string>

#include "common/Palette.h"

namespace halvorn::ui {

// One control of a screen's layout table: its objectName, what kind of control it is (each screen has
// its own kinds), its box in twips from the top left of the client area, and its text.
template <typename Kind>
struct LayoutRow {
    const char* name;
    Kind kind;
    int left, top, width, height;
    const char* text;
};

// A text of the engine (UTF-8) for a control.
inline QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Names a control and puts it in its box, given in twips.
inline void Place(QWidget* widget, const char* name, double left, double top, double width, double height) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(TwipsRect(left, top, width, height));
}

template <typename Kind>
void Place(QWidget* widget, const LayoutRow<Kind>& row) {
    Place(widget, row.name, row.left, row.top, row.width, row.height);
}

inline const QString kJapaneseFamily = QStringLiteral("Noto Sans CJK JP");

inline QFont JapaneseFont(double points, bool bold = false) {
    QFont font(kJapaneseFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Times for the texts of controls, with the serif hint for the font matcher.
inline QFont TimesFont(double points, bool italic = false) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setItalic(italic);
    return font;
}

// Times for the texts inside drawings: the family name alone, which the system maps to its own Times
// substitute; the serif hint of TimesFont would choose a different, wider serif font.
inline QFont DrawingFont(double points) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(points);
    return font;
}

inline void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::Text, colour);
    pal.setColor(QPalette::ButtonText, colour);
    widget->setPalette(pal);
}

inline void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::Base, colour);
    pal.setColor(QPalette::Button, colour);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

// A static text with its top-left corner at (left, top) twips. The box grows to the text's natural size
// where the given one is too small for the font, so no text is cut off; it never shrinks.
inline QLabel* AddLabel(QWidget* parent,
                        const char* name,
                        const QString& text,
                        double left,
                        double top,
                        double width,
                        double height,
                        const QFont& font,
                        const QColor& colour = Qt::black,
                        Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new QLabel(text, parent);
    if (name)
        label->setObjectName(QString::fromUtf8(name));
    label->setFont(font);
    label->setAlignment(align);
    SetTextColour(label, colour);
    const QSize natural = label->sizeHint();
    QRect box = TwipsRect(left, top, width, height);
    if (align & Qt::AlignRight) {
        const int grow = std::max(0, natural.width() - box.width());
        box.setLeft(box.left() - grow);
    } else {
        box.setWidth(std::max(box.width(), natural.width()));
    }
    box.setHeight(std::max(box.height(), natural.height()));
    label->setGeometry(box);
    return label;
}

// Places a window with its client area centred on the screen it will appear on.
inline void CentreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

// Where a window of `size` opens beside `anchor` (both with their frames) within the screen's `area`: right
// of the anchor when it fits there, else left of it, else against the area's right edge over the anchor; its
// top level with the anchor's, moved up as far as needed to stay on the screen.
inline QPoint BesidePosition(const QRect& anchor, const QSize& size, const QRect& area) {
    int x = anchor.right() + 1;
    if (x + size.width() > area.right() + 1)
        x = anchor.left() - size.width() >= area.left() ? anchor.left() - size.width()
                                                        : area.right() + 1 - size.width();
    const int y = std::min(anchor.top(), area.bottom() + 1 - size.height());
    return {std::max(x, area.left()), std::max(y, area.top())};
}

// Window flags of a fixed screen: title and close box, no minimise or maximise box.
inline constexpr Qt::WindowFlags kScreenFlags =
    Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;

// A screen's window: its name, title, the flags above and its fixed client size in twips.
inline void SetUpScreen(QWidget& window,
                        const char* name,
                        const QString& title,
                        double width,
                        double height) {
    window.setObjectName(QString::fromUtf8(name));
    window.setWindowTitle(title);
    window.setWindowFlags(kScreenFlags);
    window.setFixedSize(Twips(width), Twips(height));
}

}  // namespace halvorn::ui
