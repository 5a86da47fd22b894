#include "results/Form6.h"

#include <QPushButton>

#include "common/DrawingSurface.h"
#include "common/GraphExport.h"
#include "common/Palette.h"
#include "common/ScreenLayout.h"
#include "engine/BowtieShape.h"
#include "shell/Application.h"

namespace halvorn::ui {

Form6::Form6(Application& app) : QWidget(nullptr), app_(app) {
    SetUpScreen(*this, "Form6", tr(" Bowtie filter"), 7860, 8490);

    // 3.75 twips to the unit both ways, y up from the base plane, x = 0 on the central axis.
    picture1_ = new DrawingSurface(-1000, 1704, 7575 / 3.75, -7575 / 3.75, this);
    Place(picture1_, "Picture1", 120, 120, 7575, 7575);
    picture1_->SetLineWidth(2);

    // The fixed figure in twips from the drawing area's top-left corner, on a transparent layer over it.
    figure_ = new DrawingSurface(0, 0, 7575, 7575, picture1_);
    figure_->setObjectName("Picture1Figure");
    figure_->setFrameStyle(QFrame::NoFrame);
    figure_->setAutoFillBackground(false);
    figure_->setAttribute(Qt::WA_TransparentForMouseEvents);
    figure_->setGeometry(picture1_->contentsRect());
    DrawFigure();
    // The right click passes through the figure to the outline's surface, whose pictures hold both.
    new GraphMenu(*picture1_, app_.presenter(), QStringLiteral("bowtie"));

    auto* command1 = new QPushButton(tr("Close"), this);
    Place(command1, "Command1", 6480, 7800, 1215, 540);
    command1->setAutoDefault(true);  // Enter on the focused button closes
    connect(command1, &QPushButton::clicked, this, &Form6::Command1_Click);
}

DrawingSurface& Form6::Picture1() {
    return *picture1_;
}
DrawingSurface& Form6::Figure() {
    return *figure_;
}

void Form6::DrawFigure() {
    DrawingSurface& f = *figure_;
    f.SetLineWidth(1);
    // 10 mm grid: lateral -80..80 mm (the axis itself is drawn darker), thickness 10..70 mm.
    for (int x = 750; x <= 6750; x += 375)
        if (x != 3750)
            f.Line({double(x), 3585}, {double(x), 6720}, kGrey);
    for (int y = 3765; y <= 6015; y += 375)
        f.Line({656, double(y)}, {6840, double(y)}, kGrey);
    f.Line({3750, 3480}, {3750, 6840}, kDarkGrey);  // central axis
    f.Line({120, 6390}, {6960, 6390}, kDarkGrey);   // base plane, 15 cm from the focus
    // Arrow from the focus down to the base plane, with a gap for its caption.
    f.Line({360, 0}, {360, 1800}, kDarkGrey);
    f.Line({360, 2760}, {360, 6390}, kDarkGrey);
    f.Line({360, 6390}, {240, 6000}, kDarkGrey);
    f.Line({360, 6375}, {480, 6000}, kDarkGrey);

    const QFont large = DrawingFont(18);
    const QFont small = DrawingFont(15.75);
    f.Text({120, 1920}, tr("15 cm"), large);
    f.Text({120, 2280}, tr("from the X-ray focus"), large);
    f.Text({1560, 720}, tr("The shape of this Bowtie filter"), large);
    f.Text({1560, 1200}, tr("(Assumed to be made of aluminum)"), small);
    const struct {
        int x;
        const char* text;
    } lateral[] = {{600, "80"}, {1320, "60"}, {2040, "40"}, {2760, "20"},
                   {3660, "0"}, {4320, "20"}, {5040, "40"}, {5850, QT_TR_NOOP("60 mm")}};
    for (const auto& mark : lateral)
        f.Text({double(mark.x), 6840}, tr(mark.text), large);
    f.Text({6960, 3480}, tr("mm"), small);
    f.Text({6960, 3960}, "60", large);
    f.Text({6960, 4680}, "40", large);
    f.Text({6960, 5445}, "20", large);
    f.Text({7080, 6240}, "0", large);
}

// The outline of the state's path lengths over the fixed figure. The outline of an earlier run goes first,
// also when this run cannot draw, so the window never shows the shape of other data than the data now
// loaded. Data that cannot give a figure draws no part of one.
bool Form6::DrawBowtieShape() {
    const std::optional<BowtieOutline> outline = ComputeBowtieOutline(app_.state());
    DrawingSurface& pic = *picture1_;
    pic.Erase();
    pic.SetLineWidth(2);
    if (!outline) {
        app_.presenter().Warning(this, tr(" データ不足のため、ボウタイフィルタ形状を表示できません "),
                                 tr("ボウタイフィルタ"));
        return false;
    }

    const double xn = outline->baseHalfWidth;
    pic.Line({-xn, 0}, {xn, 0}, kBowtieBlue);
    const QPointF centre(0, outline->centreThickness);
    pic.Dot(centre, kBowtieBlue);
    for (const OutlinePoint& p : outline->points) {
        pic.LineTo({p.x, p.y}, kBowtieBlue);
        pic.LineTo({p.baseX, 0}, kBowtieBlue);
        pic.Dot({p.x, p.y}, kBowtieBlue);
    }
    pic.Dot(centre, kBowtieBlue);
    for (const OutlinePoint& p : outline->points) {
        pic.LineTo({-p.x, p.y}, kBowtieBlue);
        pic.LineTo({-p.baseX, 0}, kBowtieBlue);
        pic.Dot({-p.x, p.y}, kBowtieBlue);
    }
    return true;
}

void Form6::Command1_Click() {
    hide();
}

}  // namespace halvorn::ui
