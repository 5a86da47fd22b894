#include "common/SpectrumPlot.h"

#include <QCoreApplication>

#include "common/Palette.h"
#include "engine/SpectrumPlotScale.h"

namespace halvorn::ui {

DrawingSurface* MakeSpectrumPlot(QWidget* parent) {
    auto* plot = new DrawingSurface(0, 0, 6000, 2500, parent);
    QFont font("Times New Roman");
    font.setPointSizeF(15.75);
    plot->setFont(font);
    return plot;
}

namespace {

void DrawFrame(DrawingSurface& plot) {
    plot.Rectangle({kPlotFrameLeft, kPlotFrameTop}, {kPlotFrameRight, kPlotFrameBottom}, kBlack);
}

}  // namespace

void DrawSpectrumAxes(DrawingSurface& plot) {
    plot.Erase();
    plot.SetLineWidth(1);
    // Vertical grid every 10 keV from 10 to 140 keV.
    for (int x = 1300; x <= 5200; x += 300)
        plot.Line({double(x), 100}, {double(x), 2100}, kGrey);
    // Horizontal grid every tenth of the divisor.
    for (int y = 300; y <= 1900; y += 200)
        plot.Line({1000, double(y)}, {5500, double(y)}, kGrey);
    plot.Text({1000, 2120}, "0");
    plot.Text({2450, 2120}, "50");
    plot.Text({3900, 2120}, "100");
    plot.Text({5400, 2120}, "150");
    plot.Text({3750, 2250}, QCoreApplication::translate("SpectrumPlot", "Photon energy in keV"));
    //: The axis title of the spectrum graph, on three short lines left of the frame.
    const QString relative = QCoreApplication::translate("SpectrumPlot", "Relative");
    const QString photon = QCoreApplication::translate("SpectrumPlot", "Photon");
    const QString fluence = QCoreApplication::translate("SpectrumPlot", "Fluence");
    plot.Text({200, 500}, relative);
    plot.Text({200, 700}, photon);
    plot.Text({200, 900}, fluence);
    plot.SetLineWidth(2);
    DrawFrame(plot);
}

void DrawSpectrumCurve(DrawingSurface& plot, const Spectrum& spectrum, double divisor) {
    plot.SetLineWidth(2);
    plot.Dot({kPlotFrameLeft, kPlotFrameBottom}, kBlack);
    // Bin 1 is never drawn; each bin is a flat step one bin wide centred on its energy.
    for (int i = 2; i <= kBinCount; ++i) {
        const double y = ValueY(spectrum[i], divisor);
        plot.LineTo({BinCentreX(i) - kPlotBinWidth / 2, y}, kRed);
        plot.LineTo({BinCentreX(i) + kPlotBinWidth / 2, y}, kRed);
    }
    plot.SetLineWidth(2);
    DrawFrame(plot);
}

}  // namespace halvorn::ui
