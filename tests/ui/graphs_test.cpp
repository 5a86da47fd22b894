// The graphs users take away: each of the four graphs rendered to SVG and PNG after a real calculation,
// the right-click menu's save and copy, saves that fail without harming an earlier file, and the menu held
// back while a run is busy.

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QXmlStreamReader>
#include <QtTest>
#include <map>

#include "UiTestSupport.h"
#include "centre_axis/Form2.h"
#include "common/DrawingSurface.h"
#include "common/GraphExport.h"
#include "common/GuiReporter.h"
#include "dose_profile/Form3.h"
#include "engine/Version.h"
#include "results/Form4.h"
#include "results/Form6.h"

using halvorn::CalculationState;
using halvorn::ui::DrawingSurface;
using halvorn::ui::GraphMenu;
using halvorn::ui::kExportScale;
using namespace halvorn::ui::test;

namespace {

CalculationState state;

// What an SVG holds: per stroke colour, the point counts of its polylines; and its texts.
struct SvgContent {
    std::map<QString, QList<int>> polylines;
    QStringList texts;
    QString error;
};

SvgContent ReadSvg(const QByteArray& bytes) {
    SvgContent content;
    QXmlStreamReader xml(bytes);
    QStringList strokes{"none"};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto stroke = xml.attributes().value("stroke");
            strokes << (stroke.isEmpty() ? strokes.back() : stroke.toString());
            if (xml.name() == QLatin1String("polyline"))
                content.polylines[strokes.back()]
                    << int(xml.attributes().value("points").split(' ', Qt::SkipEmptyParts).size());
            if (xml.name() == QLatin1String("text"))
                content.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        if (xml.isEndElement())
            strokes.removeLast();
    }
    if (xml.hasError())
        content.error = xml.errorString();
    return content;
}

int PixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

}  // namespace

class GraphsTest : public ScreenTest {
    Q_OBJECT

private:
    // The example's first eight points: new calculation with an HVL of 7.0 mm Al, the profile at 60 cm
    // with its ratio graph, the results with points 2 and 8 shown, the bowtie figure.
    void calculate() {
        halvorn::ui::Form2& form2 = NewCalculation(app());
        RunCalibration(form2, "7.0");
        Click(form2, "Command4");
        halvorn::ui::Form3& form3 = app().form3();
        const char* readings[] = {"21.35", "20.79", "19.24", "17.02", "14.68",
                                  "12.42", "10.26", "8.26",  "6.48"};
        form3.Field(1)->setText("60");
        form3.Field(54)->setText("8");
        for (int p = 0; p <= 8; ++p) {
            if (p > 0)
                form3.Field(p + 2)->setText(QString::number(2 * p));
            form3.Field(p + 28)->setText(readings[p]);
        }
        Click(form3, "Command1");  // スペクトル計算
        Click(form3, "Command3");  // グラフで確認
        Click(form3, "Command4");  // 結果を見る
        halvorn::ui::Form4& form4 = app().form4();
        for (const char* point : {"2", "8"}) {
            Child<QLineEdit>(form4, "Text2")->setText(point);
            Click(form4, "Command4");
        }
        Click(form4, "Command6");
        for (const auto& e : presenter().entries)
            QVERIFY2(e.icon == halvorn::ui::MessagePresenter::Icon::None, qPrintable(e.text));
        presenter().Clear();
    }

    QMenu& menuOf(DrawingSurface& surface) { return surface.findChild<GraphMenu*>()->Menu(); }

private slots:
    void init() { QVERIFY(StartRun(state)); }
    void cleanup() { EndRun(); }

    // Each graph as SVG (the curve a polyline of its points in its colour, the texts as text, the bowtie
    // figure's fixed overlay included) and as PNG (three times the drawing area, holding the curve).
    void everyGraphRendersToSvgAndPng() {
        calculate();
        const struct {
            const char* name;
            DrawingSurface& surface;
            QColor curve;
            int polylines;  // at least this many polylines in the curve's colour
            int points;     // the longest of them at least this many points
            const char* text;
        } graphs[] = {
            {"centre axis", app().form2().Picture3(), Qt::red, 1, 2 * 299, "Photon energy in keV"},
            {"off-axis ratio", app().form3().Picture1(), Qt::red, 1, 9, "Off Center,  cm"},
            {"results", app().form4().Picture3(), Qt::red, 3, 2 * 299, "Fluence"},
            {"bowtie", app().form6().Picture1(), Qt::blue, 2 * 8, 3, "The shape of this Bowtie filter"},
        };
        for (const auto& g : graphs) {
            const SvgContent svg = ReadSvg(GraphSvg(g.surface, "graph"));
            QVERIFY2(svg.error.isEmpty(), qPrintable(QString(g.name) + ": " + svg.error));
            const QList<int> curves =
                svg.polylines.count(g.curve.name()) ? svg.polylines.at(g.curve.name()) : QList<int>{};
            QVERIFY2(
                curves.size() >= g.polylines && *std::max_element(curves.begin(), curves.end()) >= g.points,
                g.name);
            QVERIFY2(svg.texts.contains(g.text), qPrintable(QString(g.name) + ": " + svg.texts.join('|')));

            const QImage png = QImage::fromData(GraphPng(g.surface), "PNG");
            QCOMPARE(png.size(), g.surface.DrawingSize() * kExportScale);
            // Both name the program and its version.
            const QString drawnBy = "Halvorn " + QString::fromStdString(halvorn::ProgramVersion());
            QCOMPARE(png.text(QStringLiteral("Software")), drawnBy);
            QVERIFY(GraphSvg(g.surface, "graph").contains(("<desc>" + drawnBy + "</desc>").toUtf8()));
            QVERIFY2(PixelsOf(png, Qt::white) > 0 && PixelsOf(png, g.curve) > 0, g.name);
        }
        // The overlay's grey grid lies in the bowtie picture with the outline.
        QVERIFY(PixelsOf(GraphImage(app().form6().Picture1()), QColor(128, 128, 128)) > 0);
    }

    // The right click opens the three actions, also through the bowtie figure's overlay; saving adds the
    // missing extension, keeps a given one, writes nothing when cancelled; the copy puts the PNG picture on
    // the clipboard.
    void menuSavesAndCopies() {
        calculate();
        DrawingSurface& bowtie = app().form6().Picture1();
        // Through the window, as the window system delivers a click, so the click makes the context-menu
        // request; the centre lies under the figure's overlay.
        QWidget& form6 = app().form6();
        QTest::mouseClick(form6.windowHandle(), Qt::RightButton, {},
                          bowtie.mapTo(&form6, bowtie.rect().center()));
        QMenu& menu = menuOf(bowtie);
        QTRY_VERIFY(menu.isVisible());
        menu.hide();
        QStringList texts;
        for (QAction* action : menu.actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{"PNG で保存…", "SVG で保存…", "クリップボードにコピー"}));

        DrawingSurface& plot = app().form4().Picture3();
        auto* graph = plot.findChild<GraphMenu*>();
        presenter().answers = {QString("spectra"), QString("spectra.SVG"), std::nullopt};
        QVERIFY(graph->SavePng());
        QCOMPARE(presenter().entries.back().text, QDir::current().filePath("spectra.png"));
        QVERIFY(graph->SaveSvg());
        QVERIFY(!graph->SavePng());
        QCOMPARE(QImage("spectra.png").size(), plot.DrawingSize() * kExportScale);
        QVERIFY(ReadAll("spectra.SVG").contains("<svg"));
        QCOMPARE(QDir::current().entryList(QDir::Files).size(), 2);

        menuOf(plot).actions().at(2)->trigger();
        QCOMPARE(QApplication::clipboard()->image().size(), plot.DrawingSize() * kExportScale);
        for (const auto& e : presenter().entries)
            QVERIFY2(e.input, qPrintable(e.text));
    }

    // A save that cannot be written warns naming the file and leaves an earlier file of that name whole:
    // a missing folder, a folder whose mode bits forbid writing (refused even for root), a pipe.
    void failedSaveKeepsTheEarlierFile() {
        calculate();
        auto* graph = app().form3().Picture1().findChild<GraphMenu*>();
        QVERIFY(QDir().mkdir("locked"));
        QFile earlier("locked/ratio.png");
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        earlier.close();
        QVERIFY(QFile::setPermissions("locked", QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(::mkfifo("pipe.png", 0644) == 0);

        const QString names[] = {"missing/ratio.png", "locked/ratio.png", "pipe.png"};
        for (const QString& name : names) {
            presenter().Clear();
            presenter().answers = {QDir::current().filePath(name)};
            QVERIFY2(!graph->SavePng(), qPrintable(name));
            QCOMPARE(presenter().entries.size(), size_t(2));
            QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Warning);
            QVERIFY2(presenter().entries.back().text.contains(QDir::current().filePath(name)),
                     qPrintable(presenter().entries.back().text));
        }
        QFile::setPermissions("locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(ReadAll("locked/ratio.png"), QByteArray("earlier"));
        QCOMPARE(QDir("locked").entryList(QDir::Files | QDir::Hidden), QStringList{"ratio.png"});
        QVERIFY(!QFileInfo::exists("missing"));
        QVERIFY(!QFileInfo("pipe.png").isFile());
    }

    // Pictures go through the program's safe save: a link at the name is followed and stays a link, and the
    // file it names is replaced keeping its mode, and its owner where the program may set it (as root).
    void saveFollowsALinkAndKeepsTheMode() {
        calculate();
        auto* graph = app().form3().Picture1().findChild<GraphMenu*>();
        QVERIFY(QDir().mkdir("kept"));
        QFile real("kept/real.svg");
        QVERIFY(real.open(QIODevice::WriteOnly) && real.write("earlier") == 7);
        real.close();
        // Writable by everyone, so that root's writing it does not depend on being its owner.
        QVERIFY(::chmod("kept/real.svg", 0666) == 0);
        const bool owned = ::chown("kept/real.svg", 4321, 4321) == 0;  // only root may give a file away
        QVERIFY(QFile::link("kept/real.svg", "ratio.svg"));
        presenter().answers = {QDir::current().filePath("ratio.svg")};
        QVERIFY(graph->SaveSvg());
        QVERIFY(QFileInfo("ratio.svg").isSymLink());
        QVERIFY(ReadAll("kept/real.svg").contains("<svg"));
        struct stat info {};
        QCOMPARE(::stat("kept/real.svg", &info), 0);
        QCOMPARE(info.st_mode & 0777, 0666u);
        if (owned)
            QCOMPARE(info.st_uid, uid_t(4321));
    }

    // While a run keeps the busy dialog up, a right click on its screen's graph opens no menu.
    void busyRunHoldsTheMenuBack() {
        halvorn::ui::Form2& form2 = NewCalculation(app());
        DrawingSurface& plot = form2.Picture3();
        halvorn::ui::GuiReporter reporter(app().presenter(), app(), &form2);
        reporter.ShowBusy();
        QContextMenuEvent event(QContextMenuEvent::Mouse, plot.rect().center(),
                                plot.mapToGlobal(plot.rect().center()));
        QApplication::sendEvent(&plot, &event);
        QVERIFY(!menuOf(plot).isVisible());
        reporter.HideBusy();
        QApplication::sendEvent(&plot, &event);
        QVERIFY(menuOf(plot).isVisible());
        menuOf(plot).hide();
    }
};

QTEST_MAIN(GraphsTest)
#include "graphs_test.moc"
