// The dose-profile screen driven as a user drives it: start screen "新規計算", a calibration with a measured
// HVL of 7.0 mm Al, "次へ進む", then typing into the grid and pressing its buttons.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "UiTestSupport.h"
#include "centre_axis/Form2.h"
#include "common/DrawingSurface.h"
#include "common/MessagePresenter.h"
#include "dose_profile/Form3.h"
#include "engine/CalculationState.h"
#include "shell/Application.h"
#include "shell/Form1.h"
#include "shell/Form5.h"

using halvorn::ui::DrawingSurface;
using halvorn::ui::Form3;
using namespace halvorn::ui::test;

namespace {

const QString kInputError = QStringLiteral(" 入力データに誤りがあります！ ");
const QString kReadingRange = QStringLiteral(" 照射線量の測定値は 0 より大きい値を入力して下さい ");
const QString kFinished = QStringLiteral("  計算が終了しました  ");
const QString kSolverFailed = QStringLiteral("　正しく計算できません ④ ");

// Counts how often a window is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

QString Describe(const DrawingSurface::Op& op) {
    using Kind = DrawingSurface::Op::Kind;
    auto pt = [](QPointF p) { return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y()); };
    auto colour = [](QColor c) { return c.name(); };
    switch (op.kind) {
        case Kind::LineWidth:
            return QStringLiteral("width %1").arg(op.width);
        case Kind::Line:
            return QStringLiteral("line %1-%2 %3 w%4")
                .arg(pt(op.from), pt(op.to), colour(op.colour))
                .arg(op.width);
        case Kind::Dot:
            return QStringLiteral("dot %1 %2 w%3").arg(pt(op.from), colour(op.colour)).arg(op.width);
        case Kind::Rectangle:
            return QStringLiteral("rect %1-%2 %3 w%4")
                .arg(pt(op.from), pt(op.to), colour(op.colour))
                .arg(op.width);
        case Kind::Text:
            return QStringLiteral("text %1 \"%2\"").arg(pt(op.from), op.text);
    }
    return {};
}

QStringList Describe(const DrawingSurface& surface) {
    QStringList out;
    for (const auto& op : surface.Ops())
        out << Describe(op);
    return out;
}

// The fixed part of the graph: frame, grid, labels, then the red centre point at line width 2.
QStringList GraphBackground() {
    QStringList out{"width 1", "rect (0,0)-(30,110) #000000 w1"};
    for (int x = 5; x <= 35; x += 5)
        out << QStringLiteral("line (%1,0)-(%1,110) #808080 w1").arg(x);
    for (int y = 10; y <= 100; y += 10)
        out << QStringLiteral("line (0,%1)-(30,%1) #808080 w1").arg(y);
    out << "text (-3,102) \"1.0\""
        << "text (-3,52) \"0.5\""
        << "text (-2,2) \"0\""
        << "text (-8,85) \"Off\""
        << "text (-8,80) \"Center\""
        << "text (-8,75) \"Ratio\""
        << "text (-1,-2) \"0\""
        << "text (9,-2) \"10\""
        << "text (19,-2) \"20\""
        << "text (29,-2) \"30\""
        << "text (15,-8) \"Off Center,  cm\"";
    out << "width 2"
        << "dot (0,100) #ff0000 w2";
    return out;
}

const QString kFrameAgain = QStringLiteral("rect (0,0)-(30,110) #000000 w2");

}  // namespace

class DoseProfileTest : public ScreenTest {
    Q_OBJECT

private:
    ShowCounter busyShows_;

    halvorn::CalculationState& state() { return app().state(); }
    Form3& form3() { return app().form3(); }
    QLineEdit* field(int number) {
        return Child<QLineEdit>(form3(), QStringLiteral("Text%1").arg(number).toLatin1().constData());
    }
    QPushButton* command(const char* name) { return Child<QPushButton>(form3(), name); }
    DrawingSurface& picture() { return *form3().findChild<DrawingSurface*>("Picture1"); }
    QWidget* focused() { return form3().focusWidget(); }

    // Start screen -> new calculation -> HVL 7.0 mm Al -> calculate -> next. Clears the recorded messages.
    void ReachForm3() {
        QVERIFY(app().form1().isVisible());
        halvorn::ui::Form2& form2 = NewCalculation(app());
        QVERIFY(form2.isVisible());
        RunCalibration(form2, "7.0");
        QVERIFY2(Child<QPushButton>(form2, "Command4")->isEnabled(),
                 qPrintable(presenter().Texts().join('|')));
        QVERIFY(state().BowtieAlMm[0] > 0);
        Click(form2, "Command4");
        QVERIFY(form3().isVisible());
        QVERIFY(!form2.isVisible());
        form3().activateWindow();
        presenter().Clear();
        busyShows_.shows = 0;
    }

    // Types `text` into the focused field of Form3 and presses Return.
    void TypeAndEnter(const QString& text) {
        QWidget* at = focused();
        QVERIFY(at);
        halvorn::ui::test::TypeAndEnter(at, text);
    }

    // Fills the grid directly as typed text: F, N, centre reading and (distance, reading) rows.
    void Fill(const QString& f,
              const QString& n,
              const QString& centre,
              const std::vector<std::pair<QString, QString>>& rows) {
        field(1)->setText(f);
        field(54)->setText(n);
        field(28)->setText(centre);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            field(int(i) + 3)->setText(rows[i].first);
            field(int(i) + 29)->setText(rows[i].second);
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(StartRun(State()));
        app().form5().installEventFilter(&busyShows_);
        app().Start();
    }

    void cleanup() {
        // Leave every test on the start screen, as the next one begins there.
        if (form3().isVisible())
            QTest::mouseClick(command("Command2"), Qt::LeftButton);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &app().form1())
                w->hide();
        app().form1().show();
    }

    void layoutMatchesTheScreen() {
        ReachForm3();
        QCOMPARE(form3().windowTitle(), QStringLiteral(" Halvorn-2"));
        QCOMPARE(form3().size(), QSize(963, 584));
        // Centred on the screen.
        const QPoint offCentre = form3().pos() + QPoint(form3().width() / 2, form3().height() / 2) -
                                 form3().screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1, %2 from the centre").arg(offCentre.x()).arg(offCentre.y())));
        QVERIFY(!form3().findChild<QLineEdit*>("Text2"));
        QCOMPARE(form3().findChildren<QLineEdit*>().size(), 53);
        auto label = [&](const char* name) {
            auto* l = form3().findChild<QLabel*>(name);
            return l ? l->text() : QStringLiteral("<missing %1>").arg(name);
        };
        // Point numbers: Label3..Label23 for points 0..20, Label26..Label30 for 21..25.
        for (int p = 0; p <= 25; ++p) {
            const QString name = QStringLiteral("Label%1").arg(p <= 20 ? p + 3 : p + 5);
            QCOMPARE(label(name.toLatin1().constData()), QString::number(p));
        }
        QCOMPARE(command("Command3")->text(), QStringLiteral("　→　グラフで確認"));
        // Every point's distance and reading sit on the row of its number label.
        for (int p = 1; p <= 25; ++p) {
            const QString name = QStringLiteral("Label%1").arg(p <= 20 ? p + 3 : p + 5);
            const int rowTop = form3().findChild<QLabel*>(name)->y();
            QVERIFY2(field(p + 2)->y() == rowTop && field(p + 28)->y() == rowTop, qPrintable(name));
            QVERIFY2(field(p + 2)->geometry().right() < field(p + 28)->x(), qPrintable(name));
        }
    }

    // Every entry from the centre-axis screen empties the 53 fields and the graph and hides Command4.
    void entryStartsFromAnEmptyGrid() {
        for (const bool comingRound : {false, true}) {
            if (comingRound) {
                // Fill, draw, calculate, then come round again: everything is empty once more.
                Fill("50", "3", "100", {{"5", "90"}, {"10", "70"}, {"15", "50"}});
                QTest::mouseClick(command("Command3"), Qt::LeftButton);
                QTest::mouseClick(command("Command1"), Qt::LeftButton);
                QVERIFY(command("Command4")->isVisible());
                QVERIFY(!picture().Ops().empty());
                QTest::mouseClick(command("Command2"), Qt::LeftButton);
            }
            ReachForm3();
            for (int n = 1; n <= 54; ++n)
                if (n != 2)
                    QVERIFY2(field(n)->text().isEmpty(), qPrintable(QStringLiteral("Text%1").arg(n)));
            QVERIFY(picture().Ops().empty());
            QVERIFY(!command("Command4")->isVisible());
        }
    }

    // Enter moves along Text1, Text54, Text28, then distance and reading of each point.
    void enterWalksTheChain() {
        ReachForm3();
        field(1)->setFocus();
        QCOMPARE(focused(), field(1));
        const QStringList readings{"97", "92", "85", "76", "66", "56", "47", "39", "33", "28"};
        TypeAndEnter("60");
        QCOMPARE(focused(), field(54));
        TypeAndEnter("10");
        QCOMPARE(focused(), field(28));
        TypeAndEnter("100");
        for (int p = 1; p <= 10; ++p) {
            QVERIFY2(focused() == field(p + 2), qPrintable(QStringLiteral("distance of point %1").arg(p)));
            TypeAndEnter(QString::number(2 * p));
            QVERIFY2(focused() == field(p + 28), qPrintable(QStringLiteral("reading of point %1").arg(p)));
            TypeAndEnter(readings[p - 1]);
        }
        QCOMPARE(focused(), field(13));
        QCOMPARE(field(1)->text(), QStringLiteral("60"));
        QCOMPARE(field(38)->text(), QStringLiteral("28"));
        // An empty field keeps the focus; so does the keypad Enter.
        QTest::keyClick(field(13), Qt::Key_Return);
        QCOMPARE(focused(), field(13));
        QTest::keyClick(field(13), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(focused(), field(13));

        // Edge cases of the chain.
        field(1)->clear();
        field(1)->setFocus();
        QTest::keyClick(field(1), Qt::Key_Return);
        QCOMPARE(focused(), field(1));
        QTest::keyClicks(field(1), "x");
        QTest::keyClick(field(1), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(focused(), field(54));
        field(54)->clear();
        QTest::keyClick(field(54), Qt::Key_Return);
        QVERIFY2(focused() == field(28), "Enter in an empty Text54 moves on");
        field(3)->setText("a");
        field(3)->setFocus();
        QTest::keyClick(field(3), Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY2(focused() == field(29), "Enter in Text3 holding a letter moves on");
        field(27)->setText("40");
        field(27)->setFocus();
        QTest::keyClick(field(27), Qt::Key_Return);
        QCOMPARE(focused(), field(53));
        QTest::keyClick(field(53), Qt::Key_Return);
        QVERIFY2(focused() == field(53), "Enter in an empty Text53 stays");
        QTest::keyClicks(field(53), "5");
        QTest::keyClick(field(53), Qt::Key_Return);
        QCOMPARE(focused(), static_cast<QWidget*>(command("Command1")));
        // Enter once more presses the button; the focus distance "x" is not a number: refused, and the field
        // gets the focus with its text selected.
        presenter().Clear();
        QTest::keyClick(command("Command1"), Qt::Key_Return);
        QCOMPARE(presenter().Texts(), QStringList{kInputError});
        QCOMPARE(focused(), field(1));
        QCOMPARE(field(1)->selectedText(), QStringLiteral("x"));

        // Enter into a field that holds text selects it, so typing replaces it instead of appending.
        field(1)->setText("60");
        field(54)->setText("12");
        field(1)->setFocus();
        TypeAndEnter({});
        QCOMPARE(focused(), field(54));
        QCOMPARE(field(54)->selectedText(), QStringLiteral("12"));
        QTest::keyClicks(field(54), "3");
        QCOMPARE(field(54)->text(), QStringLiteral("3"));
    }

    // Tab runs down the distances, then the readings, then the count and the buttons.
    void tabOrder() {
        ReachForm3();
        Fill("50", "1", "100", {{"10", "50"}});
        QTest::mouseClick(command("Command1"), Qt::LeftButton);  // Command4 becomes visible
        QVector<QWidget*> expected{field(1)};
        for (int n = 3; n <= 53; ++n)
            expected << field(n);
        expected << field(54) << command("Command1") << command("Command2") << &picture()
                 << command("Command3") << command("Command4") << field(1);
        field(1)->setFocus();
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QVERIFY2(focused() == expected[i],
                     qPrintable(QStringLiteral("Tab stop %1 is %2")
                                    .arg(i)
                                    .arg(focused() ? focused()->objectName() : QStringLiteral("none"))));
        }
    }

    // スペクトル計算 writes the inverse-square-corrected relative kerma and the bowtie path lengths.
    void calculationWritesProfileAndBowtie() {
        ReachForm3();
        Fill("50", "3", "100", {{"10", "50"}, {"20", "30"}, {"5", "100"}});
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QCOMPARE(presenter().Texts(), QStringList{kFinished});
        QCOMPARE(presenter().entries[0].icon, halvorn::ui::MessagePresenter::Icon::None);
        QCOMPARE(busyShows_.shows, 1);
        QVERIFY(!app().form5().isVisible());
        QCOMPARE(state().FocusCentreDistanceCm, 50.0);
        QCOMPARE(state().ProfilePointCount, 3.0);
        QCOMPARE(state().DoseProfile[1][0], 1.0);
        QVERIFY2(std::abs(state().DoseProfile[1][1] - 0.52) < 1e-12, "F 50, d 10, half the centre reading");
        QVERIFY(std::abs(state().DoseProfile[1][2] - 0.3 * 1.16) < 1e-12);
        QVERIFY(std::abs(state().DoseProfile[1][3] - 1.01) < 1e-12);
        const auto& bowtie = state().BowtieAlMm;
        QVERIFY2(bowtie[1] > bowtie[0] && bowtie[2] > bowtie[1], "lower readings need more aluminium");
        QCOMPARE(bowtie[3], bowtie[0]);  // at least the centre's kerma
        QVERIFY(command("Command4")->isVisible());
        QCOMPARE(focused(), static_cast<QWidget*>(command("Command4")));
    }

    // Values that cannot be right stop before the busy dialog, with the field at fault focused and its text
    // selected; a solver failure shows its message and no completion notice. Either way "結果を見る" is
    // hidden, so nothing of the failed run can reach a save.
    void calculationFailures() {
        ReachForm3();
        Fill("50", "2", "100", {{"10", "50"}, {"20", "30"}});
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QVERIFY(command("Command4")->isVisible());
        const auto bowtie = state().BowtieAlMm;

        std::vector<std::pair<QString, QString>> rows;
        for (int p = 1; p <= 25; ++p)
            rows.push_back({QString::number(p), QString::number(100 - 3 * p)});
        const struct {
            const char* what;
            QString focus, count, centre;
            std::vector<std::pair<QString, QString>> rows;
            QString message;
            int field;
        } cases[] = {
            {"empty centre reading", "50", "2", "", {{"10", "50"}, {"20", "30"}}, kReadingRange, 28},
            {"empty focus distance",
             "",
             "2",
             "100",
             {{"10", "50"}, {"20", "30"}},
             QStringLiteral(" 焦点-回転中心間距離は 0 より大きい値を入力して下さい "),
             1},
            {"a reading within N left empty",
             "50",
             "3",
             "100",
             {{"10", "50"}, {"20", "30"}, {"25", ""}},
             kReadingRange,
             31},
            {"metres typed for centimetres",
             "0.6",
             "2",
             "100",
             {{"10", "50"}, {"20", "30"}},
             QStringLiteral(" 焦点-回転中心間距離は最も遠い測定点の軸外距離より大きい値を入力して下さい "),
             1},
            {"two readings run together",
             "50",
             "2",
             "100",
             {{"10", "50"}, {"20", "20.7920.79"}},
             kInputError,
             30},
            {"a decimal comma", "50", "2", "100", {{"10", "50"}, {"20", "3,5"}}, kInputError, 30},
            {"26 points", "60", "26", "100", rows,
             QStringLiteral(" 測定点の数は 0 以上 25 以下の値を入力して下さい "), 54},
            {"12230 points", "60", "12230", "100", rows,
             QStringLiteral(" 測定点の数は 0 以上 25 以下の値を入力して下さい "), 54},
        };
        for (const auto& c : cases) {
            presenter().Clear();
            for (int n = 3; n <= 53; ++n)
                field(n)->clear();
            Fill(c.focus, c.count, c.centre, c.rows);
            QTest::mouseClick(command("Command1"), Qt::LeftButton);
            QVERIFY2(presenter().Texts() == QStringList{c.message}, c.what);
            QCOMPARE(presenter().entries[0].icon, halvorn::ui::MessagePresenter::Icon::Warning);
            QVERIFY2(busyShows_.shows == 1, c.what);
            QVERIFY2(!command("Command4")->isVisible(), c.what);
            QVERIFY2(focused() == field(c.field), c.what);
            QVERIFY2(field(c.field)->selectedText() == field(c.field)->text(), c.what);
            QVERIFY2(state().BowtieAlMm == bowtie, c.what);
        }

        // A reading below what 100 mm of added aluminium leaves: the solver's message and nothing more.
        presenter().Clear();
        Fill("50", "2", "100", {{"10", "50"}, {"20", "1e-12"}});
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QCOMPARE(presenter().Texts(), QStringList{kSolverFailed});
        QCOMPARE(busyShows_.shows, 2);
        QVERIFY(!app().form5().isVisible());
        QVERIFY(!command("Command4")->isVisible());
    }

    // A refusal names the point and what is wrong with it on a line of its own.
    void refusalsNameThePoint() {
        ReachForm3();
        Fill("50", "11", "100", {});
        for (int p = 1; p <= 11; ++p) {
            field(p + 2)->setText(QString::number(p));
            field(p + 28)->setText("90");
        }
        field(13)->clear();
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QCOMPARE(presenter().Texts(),
                 QStringList{QStringLiteral(" 軸外距離を入力して下さい（0 は回転中心だけです） ")});
        QCOMPARE(presenter().entries.at(0).line, QStringLiteral("ポイント 11 の軸外距離がありません"));
        QCOMPARE(focused(), field(13));
        QCOMPARE(busyShows_.shows, 0);
        presenter().Clear();
        field(13)->setText(QStringLiteral("１１"));
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QCOMPARE(presenter().entries.at(0).line,
                 QStringLiteral("ポイント 11 の軸外距離：全角の数字は使えません（半角で入力してください）"));
    }

    // Editing any field after a run disables "結果を見る" with a note; the run's texts enable it again.
    void editedFieldsOutdateTheResults() {
        ReachForm3();
        Fill("50", "2", "100", {{"10", "50"}, {"20", "30"}});
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QLabel* note = Child<QLabel>(form3(), "LabelOutdated");
        QVERIFY(command("Command4")->isEnabled());
        QVERIFY(!note->isVisible());
        Retype(field(30), "35");
        QVERIFY(!command("Command4")->isEnabled());
        QVERIFY(note->isVisible());
        Retype(field(30), "30");
        QVERIFY(command("Command4")->isEnabled());
        QVERIFY(!note->isVisible());
    }

    // グラフで確認: the plain reading ratios against distance, points joined in entry order.
    void graphStrokes() {
        ReachForm3();
        // No points: background, the red centre dot and the frame again.
        Fill("", "0", "100", {});
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QCOMPARE(Describe(picture()), GraphBackground() << kFrameAgain);
        QVERIFY(presenter().entries.empty());

        // Entered from the far end inwards: the line runs back towards the centre, ratios not corrected.
        Fill("50", "3", "200", {{"20", "100"}, {"10", "150"}, {"5", "190"}});
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QCOMPARE(Describe(picture()), GraphBackground() << "line (0,100)-(20,50) #ff0000 w2"
                                                        << "line (20,50)-(10,75) #ff0000 w2"
                                                        << "line (10,75)-(5,95) #ff0000 w2" << kFrameAgain);

        // All readings equal to the centre: a flat line at 100 out to the last point.
        Fill("50", "3", "80", {{"5", "80"}, {"10", "80"}, {"15", "80"}});
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QStringList flat = Describe(picture()).mid(GraphBackground().size());
        QCOMPARE(flat, (QStringList{"line (0,100)-(5,100) #ff0000 w2", "line (5,100)-(10,100) #ff0000 w2",
                                    "line (10,100)-(15,100) #ff0000 w2", kFrameAgain}));
        QVERIFY(presenter().entries.empty());

        // A fractional count draws the whole points below it.
        field(54)->setText("2.5");
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QCOMPARE(Describe(picture()).size(), GraphBackground().size() + 3);

        // Looking at the graph after a calculation leaves the calculated, distance-corrected values alone.
        Fill("50", "3", "100", {{"10", "50"}, {"20", "30"}, {"30", "20"}});
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        const auto profile = state().DoseProfile;
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QVERIFY(state().DoseProfile == profile);
        QCOMPARE(state().DoseProfile[1][1], 0.5 * 1.04);
    }

    // Failures end the drawing with one message and leave what was drawn.
    void graphFailures() {
        ReachForm3();
        Fill("50", "2", "100", {{"10", "50"}, {"20", "30"}});
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        const QStringList before = Describe(picture());
        for (const QString& centre :
             {QString(), QStringLiteral("0"), QStringLiteral("abc"), QStringLiteral("-0")}) {
            presenter().Clear();
            field(28)->setText(centre);
            QTest::mouseClick(command("Command3"), Qt::LeftButton);
            QVERIFY2(presenter().Texts() == QStringList{kInputError}, qPrintable("centre reading " + centre));
            QVERIFY2(Describe(picture()) == before, qPrintable("centre reading " + centre));
        }
        // A distance or a ratio too large for a number fails before the picture is touched.
        presenter().Clear();
        field(28)->setText("100");
        field(3)->setText("1e999");
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QVERIFY2(presenter().Texts() == QStringList{kInputError}, "distance 1e999");
        QVERIFY2(Describe(picture()) == before, "distance 1e999");
        presenter().Clear();
        field(3)->setText("10");
        field(28)->setText("1e-300");
        field(29)->setText("1e300");
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QVERIFY2(presenter().Texts() == QStringList{kInputError}, "ratio 1e300 / 1e-300");
        QCOMPARE(Describe(picture()), before);

        // More points than rows: points 1..25 drawn, then the message, without the second frame.
        std::vector<std::pair<QString, QString>> rows;
        for (int p = 1; p <= 25; ++p)
            rows.push_back({QString::number(p), QString::number(100 - 2 * p)});
        for (const QString& count : {QStringLiteral("30"), QStringLiteral("1e9")}) {
            presenter().Clear();
            Fill("50", count, "100", rows);
            QTest::mouseClick(command("Command3"), Qt::LeftButton);
            QVERIFY2(presenter().Texts() == QStringList{kInputError}, qPrintable("count " + count));
            const QStringList drawn = Describe(picture());
            QVERIFY2(drawn.size() == GraphBackground().size() + 25, qPrintable("count " + count));
            QCOMPARE(drawn.last(), QStringLiteral("line (24,52)-(25,50) #ff0000 w2"));
        }
        // A count too large for a number is not a number: refused before anything is drawn.
        presenter().Clear();
        const QStringList drawn = Describe(picture());
        field(54)->setText("1e999");
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QCOMPARE(presenter().Texts(), QStringList{kInputError});
        QCOMPARE(Describe(picture()), drawn);
        QCOMPARE(focused(), field(54));

        // Readings far outside the frame are drawn as they are and do not break the painting.
        presenter().Clear();
        Fill("50", "2", "1", {{"40", "1e250"}, {"-1e200", "-5"}});
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        QVERIFY(presenter().entries.empty());
        QVERIFY(!picture().grab().isNull());
    }

    // Back to the start screen keeps the grid; the close box does the same.
    void backKeepsTheFields() {
        ReachForm3();
        Fill("60", "1", "100", {{"10", "70"}});
        QTest::mouseClick(command("Command2"), Qt::LeftButton);
        QVERIFY(app().form1().isVisible());
        QVERIFY(!form3().isVisible());
        QCOMPARE(field(1)->text(), QStringLiteral("60"));
        QCOMPARE(field(29)->text(), QStringLiteral("70"));

        form3().show();
        app().form1().hide();
        form3().close();
        QVERIFY(app().form1().isVisible());
        QVERIFY(!form3().isVisible());
        QCOMPARE(field(3)->text(), QStringLiteral("10"));
    }

    // A plausible 12-point profile at F = 60 cm, calculated and drawn (saved only under Xvfb).
    void screenshot() {
        if (!ScreenshotsWanted())
            QSKIP("HALVORN_SCREENSHOT_DIR not set");
        ReachForm3();
        SaveScreenshot(form3(), "form3-empty.png", 200);
        const QStringList readings{"99.1", "96.4", "91.8", "85.2", "77.0", "67.9",
                                   "58.6", "49.7", "41.6", "34.5", "28.6", "23.8"};
        std::vector<std::pair<QString, QString>> rows;
        for (int p = 1; p <= 12; ++p)
            rows.push_back({QString::number(2 * p), readings[p - 1]});
        Fill("60", "12", "100", rows);
        QTest::mouseClick(command("Command1"), Qt::LeftButton);
        QTest::mouseClick(command("Command3"), Qt::LeftButton);
        SaveScreenshot(form3(), "form3.png", 200);
    }
};

QTEST_MAIN(DoseProfileTest)
#include "dose_profile_test.moc"
