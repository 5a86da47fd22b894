// halvorn-figures OUTDIR [--profile FILE] [--validation FILE]
//
// Makes the figures of the manual and the README from the program's own code: it runs the example
// calculation (the profile of examples/ct-120kv.profile.csv, a measured HVL of 7.0 mm Al, the focus 60 cm
// from the rotation centre, every other input at the screens' defaults) through the real screens on the
// offscreen platform and writes each graph as SVG and PNG, exactly as the graph's right-click menu saves
// it. The accuracy figure is drawn with the same drawing surface from the comparison data file.
// Exit status 0 when every file is written, 1 when the calculation or a file fails, 2 for a bad command line.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "centre_axis/Form2.h"
#include "cli/BatchInput.h"
#include "common/DrawingSurface.h"
#include "common/GraphExport.h"
#include "common/MessagePresenter.h"
#include "common/Palette.h"
#include "common/ScreenLayout.h"
#include "dose_profile/Form3.h"
#include "engine/CalculationState.h"
#include "results/Form4.h"
#include "results/Form6.h"
#include "shell/Application.h"
#include "shell/Form1.h"

using namespace halvorn;
using namespace halvorn::ui;

namespace {

constexpr const char* kMeasuredHvlMm = "7.0";
constexpr const char* kFocusDistanceCm = "60";
// The points whose spectra the results figure shows over the centre's.
constexpr const char* kShownPoints[] = {"3", "6", "12"};

void Fail(const QString& what) {
    std::fprintf(stderr, "halvorn-figures: %s\n", qPrintable(what));
}

// Writes the graph as NAME.svg and NAME.png into `folder`.
bool WriteGraph(const DrawingSurface& surface, const QDir& folder, const QString& name) {
    const struct {
        QString suffix;
        QByteArray bytes;
    } files[] = {{"svg", GraphSvg(surface, name)}, {"png", GraphPng(surface)}};
    for (const auto& file : files) {
        const QString path = folder.filePath(name + "." + file.suffix);
        QString error;
        if (file.bytes.isEmpty() || !WriteFileSafely(path, file.bytes, error)) {
            Fail(QStringLiteral("cannot write %1: %2").arg(path, error));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return true;
}

// The calculation's messages: every warning is a failure of the example.
bool NoWarnings(const RecordingPresenter& presenter, const char* step) {
    bool clean = true;
    for (const auto& entry : presenter.entries)
        if (entry.icon != MessagePresenter::Icon::None) {
            Fail(QStringLiteral("%1: %2").arg(QString::fromUtf8(step), entry.text.trimmed()));
            clean = false;
        }
    return clean;
}

void SetField(QWidget& form, const char* name, const QString& text) {
    form.findChild<QLineEdit*>(QString::fromUtf8(name))->setText(text);
}

// The example through the screens: centre-axis run, profile and off-axis run, results with some points'
// spectra, bowtie figure; each graph is written as soon as it is drawn.
bool ScreenFigures(Application& app,
                   RecordingPresenter& presenter,
                   const cli::Profile& profile,
                   const QDir& out) {
    app.form1().Command1_Click();  // 新規計算
    if (!NoWarnings(presenter, "new calculation"))
        return false;
    Form2& form2 = app.form2();
    SetField(form2, "Text13", kMeasuredHvlMm);
    form2.Command1_Click();  // 計算する
    if (!NoWarnings(presenter, "centre-axis run") ||
        !WriteGraph(form2.Picture3(), out, "centre-axis-spectrum"))
        return false;

    form2.Command4_Click();  // 次へ進む
    Form3& form3 = app.form3();
    form3.Field(1)->setText(kFocusDistanceCm);
    form3.Field(54)->setText(QString::number(profile.PointCount()));
    form3.Field(28)->setText(QString::fromStdString(profile.rows[0].reading.text));
    for (int p = 1; p <= profile.PointCount(); ++p) {
        form3.Field(p + 2)->setText(QString::fromStdString(profile.rows[p].distanceCm.text));
        form3.Field(p + 28)->setText(QString::fromStdString(profile.rows[p].reading.text));
    }
    form3.Command1_Click();  // スペクトル計算
    form3.Command3_Click();  // グラフで確認
    if (!NoWarnings(presenter, "off-axis run") || !WriteGraph(form3.Picture1(), out, "off-axis-ratio"))
        return false;

    form3.Command4_Click();  // 結果を見る
    Form4& form4 = app.form4();
    for (const char* point : kShownPoints) {
        SetField(form4, "Text2", QString::fromLatin1(point));
        form4.Command4_Click();  // 表示
    }
    if (!NoWarnings(presenter, "point spectra") || !WriteGraph(form4.Picture3(), out, "results-spectra"))
        return false;

    form4.Command6_Click();  // the bowtie figure
    return NoWarnings(presenter, "bowtie figure") && WriteGraph(app.form6().Picture1(), out, "bowtie");
}

// HVL1 by model, target angle and tube voltage, from the comparison data file.
using Series = std::map<double, double>;                       // kV -> HVL1 mm Al
using Comparison = std::map<std::pair<QString, int>, Series>;  // (model, angle) -> series

bool ReadComparison(const QString& path, Comparison& data) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Fail(QStringLiteral("cannot read %1").arg(path));
        return false;
    }
    QTextStream in(&file);
    bool header = true;
    for (int line = 1; !in.atEnd(); ++line) {
        const QString text = in.readLine().trimmed();
        if (text.isEmpty() || text.startsWith('#'))
            continue;
        if (header) {
            header = false;
            continue;
        }
        const QStringList fields = text.split(',');
        bool ok[3] = {};
        const int angle = fields.value(1).toInt(&ok[0]);
        const double kv = fields.value(2).toDouble(&ok[1]);
        const double hvl = fields.value(3).toDouble(&ok[2]);
        if (fields.size() != 4 || !ok[0] || !ok[1] || !ok[2]) {
            Fail(QStringLiteral("%1 line %2 is not model,angle,kV,HVL1").arg(path).arg(line));
            return false;
        }
        data[{fields[0], angle}][kv] = hvl;
    }
    return true;
}

// The accuracy figure: HVL1 against tube voltage for this program, SpekPy and xpecgen behind the same
// 2.5 mm Al, at a target angle of 16 degrees (left) and 20 degrees with PTB's RQR beams (right).
// User units are the surface's pixels, y down.
void DrawAccuracyFigure(DrawingSurface& f, const Comparison& data) {
    const QFont font = DrawingFont(11);
    const QFont titleFont = DrawingFont(13);
    const QFontMetrics metrics(font);
    const struct {
        QString model;
        QColor colour;
        QString legend;
    } models[] = {{"halvorn", kRed, "Halvorn 2 (this program)"},
                  {"spekpy", kBowtieBlue, "SpekPy 2"},
                  {"xpecgen", QColor(0, 150, 0), "xpecgen 1.3"}};
    constexpr double kvMin = 60, kvMax = 160, hvlMin = 1.5, hvlMax = 5.5;
    constexpr double top = 70, bottom = 390, width = 360;

    f.Text({20, 12}, "HVL1 before any fitting: tungsten target, 2.5 mm Al, air kerma", titleFont);
    const auto marker = [&](QPointF at, const QColor& colour, bool square) {
        f.SetLineWidth(square ? 2 : 8);
        if (square)
            f.Rectangle(at - QPointF(4, 4), at + QPointF(4, 4), colour);
        else
            f.Dot(at, colour);
    };

    const struct {
        int angle;
        double left;
        QString caption;
    } panels[] = {{16, 80, "target angle 16°"}, {20, 560, "target angle 20°"}};
    for (const auto& panel : panels) {
        const double left = panel.left, right = left + width;
        const auto x = [&](double kv) { return left + (kv - kvMin) / (kvMax - kvMin) * width; };
        const auto y = [&](double hvl) {
            return bottom - (hvl - hvlMin) / (hvlMax - hvlMin) * (bottom - top);
        };
        f.SetLineWidth(1);
        for (double kv = kvMin; kv <= kvMax; kv += 20) {
            f.Line({x(kv), top}, {x(kv), bottom}, kGrey);
            const QString label = QString::number(kv);
            f.Text({x(kv) - metrics.horizontalAdvance(label) / 2.0, bottom + 6}, label, font);
        }
        for (double hvl = hvlMin; hvl <= hvlMax; hvl += 0.5) {
            f.Line({left, y(hvl)}, {right, y(hvl)}, kGrey);
            const QString label = QString::number(hvl, 'f', 1);
            f.Text({left - 8 - metrics.horizontalAdvance(label), y(hvl) - metrics.height() / 2.0}, label,
                   font);
        }
        f.Text({left + width / 2 - metrics.horizontalAdvance("Tube voltage, kV") / 2.0, bottom + 26},
               "Tube voltage, kV", font);
        f.Text({left - 60, top - 28}, "HVL1, mm Al", font);
        f.Text({left + 10, top + 8}, panel.caption, titleFont);
        for (const auto& model : models) {
            const auto series = data.find({model.model, panel.angle});
            if (series == data.end())
                continue;
            f.SetLineWidth(2);
            bool first = true;
            for (const auto& [kv, hvl] : series->second) {
                if (first)
                    f.Dot({x(kv), y(hvl)}, model.colour);
                else
                    f.LineTo({x(kv), y(hvl)}, model.colour);
                first = false;
            }
            for (const auto& [kv, hvl] : series->second)
                marker({x(kv), y(hvl)}, model.colour, false);
        }
        const auto ptb = data.find({"ptb", panel.angle});
        if (ptb != data.end())
            for (const auto& [kv, hvl] : ptb->second)
                marker({x(kv), y(hvl)}, kBlack, true);
        f.SetLineWidth(2);
        f.Rectangle({left, top}, {right, bottom}, kBlack);
    }

    // The legend under the panels: the three models on one line, the measured beams on the next.
    double at = 80;
    for (const auto& model : models) {
        f.SetLineWidth(2);
        f.Line({at, 445}, {at + 30, 445}, model.colour);
        marker({at + 15, 445}, model.colour, false);
        f.Text({at + 38, 445 - metrics.height() / 2.0}, model.legend, font);
        at += 38 + metrics.horizontalAdvance(model.legend) + 40;
    }
    marker({95, 468}, kBlack, true);
    f.Text({118, 468 - metrics.height() / 2.0},
           "PTB's RQR 5, 8, 9 and 10: HVL1 of the standard beams as PTB realises them (its own filtration)",
           font);
}

int Usage() {
    std::fprintf(stderr, "usage: halvorn-figures OUTDIR [--profile FILE] [--validation FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    QString outDir;
    QString profilePath = QStringLiteral(HALVORN_EXAMPLE_PROFILE);
    QString validationPath = QStringLiteral(HALVORN_VALIDATION_DATA);
    const QStringList args = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if ((args[i] == "--profile" || args[i] == "--validation") && i + 1 < args.size())
            (args[i] == "--profile" ? profilePath : validationPath) = args[++i];
        else if (!args[i].startsWith("--") && outDir.isEmpty())
            outDir = args[i];
        else
            return Usage();
    }
    if (outDir.isEmpty())
        return Usage();
    if (!QDir().mkpath(outDir)) {
        Fail(QStringLiteral("cannot make the folder %1").arg(outDir));
        return 1;
    }
    const QDir out(outDir);

    cli::Profile profile;
    try {
        profile = cli::ReadProfileFile(QFile::encodeName(profilePath).toStdString());
    } catch (const cli::InputError& error) {
        Fail(QString::fromStdString(error.what()));
        return 2;
    }

    static CalculationState state;
    RecordingPresenter presenter;
    RunModel runs;
    Application app(state, runs, presenter);
    int exitCode = -1;
    app.exitProgram = [&exitCode](int code) { exitCode = code; };
    if (!ScreenFigures(app, presenter, profile, out) || exitCode >= 0)
        return 1;

    Comparison comparison;
    if (!ReadComparison(validationPath, comparison))
        return 1;
    DrawingSurface accuracy(0, 0, 960, 490);
    accuracy.setFrameStyle(QFrame::NoFrame);
    accuracy.resize(960, 490);
    DrawAccuracyFigure(accuracy, comparison);
    return WriteGraph(accuracy, out, "accuracy-hvl1") ? 0 : 1;
}
