#include "shell/GeometryFigure.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

#include "common/ScreenLayout.h"

namespace halvorn::ui {

namespace {

// The figure is drawn in a fixed frame of 432 x 400 units and stretched to the control.
constexpr double kFigureWidth = 432;
constexpr double kFigureHeight = 400;

const QPointF kFocus(216, 54);
const QPointF kCentre(216, 262);
const QColor kFanFill(255, 236, 140, 120);
const QColor kFanEdge(230, 140, 0);
const QColor kProfileGreen(0, 128, 64);

void Arrow(QPainter& painter, QPointF from, QPointF to, bool bothEnds = false) {
    painter.drawLine(from, to);
    const auto head = [&painter](QPointF tip, QPointF tail) {
        const double angle = std::atan2(tip.y() - tail.y(), tip.x() - tail.x());
        const double size = 7, spread = 0.4;
        QPolygonF triangle;
        triangle << tip << tip - QPointF(size * std::cos(angle - spread), size * std::sin(angle - spread))
                 << tip - QPointF(size * std::cos(angle + spread), size * std::sin(angle + spread));
        painter.save();
        painter.setBrush(painter.pen().color());
        painter.drawPolygon(triangle);
        painter.restore();
    };
    head(to, from);
    if (bothEnds)
        head(from, to);
}

// A caption in one or more lines (split at blanks), each line's box starting at `at`.
void Caption(QPainter& painter, QPointF at, const QString& text, Qt::Alignment align = Qt::AlignLeft) {
    const QStringList lines = text.split(QLatin1Char(' '));
    const double lineHeight = painter.fontMetrics().height();
    for (int i = 0; i < lines.size(); ++i) {
        const QRectF box(align & Qt::AlignRight ? at.x() - 200 : at.x(), at.y() + i * lineHeight, 200,
                         lineHeight);
        painter.drawText(box, int(align | Qt::AlignVCenter), lines[i]);
    }
}

}  // namespace

GeometryFigure::GeometryFigure(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture1"));
    SetBackground(this, Qt::white);
}

QStringList GeometryFigure::Captions() {
    //: A caption of the start screen's figure. Each ASCII blank in a caption starts a new line: write a
    //: no-break space (U+00A0) between the words of one line.
    return {tr("X線管球"),
            tr("固有ろ過"),
            tr("付加 フィルタ"),
            tr("ボウタイフィルタ"),
            tr("①焦点-回転中心間距離"),
            tr("②回転中心における 半価層実測値"),
            tr("③この線上の 照射線量プロファイル")};
}

void GeometryFigure::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    painter.scale(width() / kFigureWidth, height() / kFigureHeight);
    QFont font(kJapaneseFamily);
    font.setPixelSize(12);
    painter.setFont(font);
    const QStringList captions = Captions();

    // The beam fan from the focus through the filters, past the rotation centre.
    QPolygonF fan;
    fan << kFocus << QPointF(56, 380) << QPointF(376, 380);
    painter.setPen(QPen(kFanEdge, 1.2));
    painter.setBrush(kFanFill);
    painter.drawPolygon(fan);
    painter.setPen(QPen(Qt::darkGray, 1, Qt::DashDotLine));
    painter.drawLine(kFocus, QPointF(216, 385));

    // The scan field around the rotation centre.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    painter.drawEllipse(kCentre, 96, 96);

    // X-ray tube with its anode; the focus is the red dot where the beam leaves.
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(QColor(225, 225, 225));
    painter.drawRoundedRect(QRectF(166, 12, 100, 42), 12, 12);
    QPolygonF anode;
    anode << QPointF(196, 26) << QPointF(236, 26) << QPointF(226, 46) << QPointF(206, 46);
    painter.setBrush(QColor(160, 160, 160));
    painter.drawPolygon(anode);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kRed);
    painter.drawEllipse(kFocus, 3, 3);

    // Inherent filtration, added filter, bowtie filter.
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(190, 190, 190));
    painter.drawRect(QRectF(190, 62, 52, 6));
    painter.setBrush(QColor(110, 110, 110));
    painter.drawRect(QRectF(184, 75, 64, 6));
    QPainterPath bowtie;
    bowtie.moveTo(146, 90);
    bowtie.lineTo(286, 90);
    bowtie.lineTo(286, 118);
    bowtie.quadTo(216, 78, 146, 118);
    bowtie.closeSubpath();
    painter.setPen(QPen(kBowtieBlue, 1.5));
    painter.setBrush(QColor(170, 200, 255));
    painter.drawPath(bowtie);

    // The lateral line through the rotation centre with the profile's measuring points.
    painter.setPen(QPen(kProfileGreen, 2));
    painter.drawLine(QPointF(30, kCentre.y()), QPointF(410, kCentre.y()));
    painter.setBrush(kProfileGreen);
    for (int k = 1; k <= 7; ++k)
        painter.drawEllipse(QPointF(kCentre.x() + 24 * k, kCentre.y()), 2.5, 2.5);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(kCentre, 5, 5);
    painter.drawLine(kCentre - QPointF(9, 0), kCentre + QPointF(9, 0));
    painter.drawLine(kCentre - QPointF(0, 9), kCentre + QPointF(0, 9));

    // (1) the focus - rotation centre distance as a dimension line at the left.
    painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
    painter.drawLine(QPointF(28, kFocus.y()), QPointF(166, kFocus.y()));
    painter.drawLine(QPointF(28, kCentre.y()), QPointF(kCentre.x() - 12, kCentre.y()));
    painter.setPen(QPen(Qt::black, 1.2));
    Arrow(painter, QPointF(36, kFocus.y() + 1), QPointF(36, kCentre.y() - 1), true);

    // Captions, with leader lines from the caption to its part.
    painter.setPen(Qt::black);
    Caption(painter, {282, 24}, captions[0]);
    Caption(painter, {150, 57}, captions[1], Qt::AlignRight);
    painter.drawLine(QPointF(152, 65), QPointF(190, 65));
    Caption(painter, {138, 71}, captions[2], Qt::AlignRight);
    painter.drawLine(QPointF(140, 78), QPointF(184, 78));
    Caption(painter, {300, 112}, captions[3]);
    painter.drawLine(QPointF(298, 120), QPointF(276, 108));
    Caption(painter, {44, 122}, captions[4]);
    Caption(painter, {22, 300}, captions[5]);
    Arrow(painter, QPointF(100, 298), QPointF(208, 268));
    Caption(painter, {252, 296}, captions[6]);
}

}  // namespace halvorn::ui
