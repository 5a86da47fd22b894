// One whole calculation as a user makes it: new calculation, centre-axis run, the profile typed into the
// grid, the off-axis run, the results, a save, the way back, the file found again and loaded, point spectra,
// the bowtie figure. The saved file must be the one the batch tool writes for the same inputs.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "UiTestSupport.h"
#include "centre_axis/Form2.h"
#include "common/DrawingSurface.h"
#include "common/MessagePresenter.h"
#include "dose_profile/Form3.h"
#include "engine/AttenuationTable.h"
#include "engine/BeamQuality.h"
#include "engine/CalculationState.h"
#include "engine/NumberText.h"
#include "engine/exports/SpreadsheetExport.h"
#include "results/BeamQualityWindow.h"
#include "results/ExportDialog.h"
#include "results/Form4.h"
#include "results/Form6.h"
#include "shell/Application.h"
#include "shell/Form1.h"

using halvorn::CalculationState;
using halvorn::FormatPicture;
using halvorn::ui::DrawingSurface;
using namespace halvorn::ui::test;

namespace {

CalculationState state;

// Ten points every 2 cm out to 20 cm from an example scanner at 60 cm, with the centre reading first.
const struct {
    const char* distance;
    const char* reading;
} kProfile[] = {{"0", "21.35"}, {"2", "20.79"},  {"4", "19.24"},  {"6", "17.02"},
                {"8", "14.68"}, {"10", "12.42"}, {"12", "10.26"}, {"14", "8.26"},
                {"16", "6.48"}, {"18", "4.96"},  {"20", "3.77"}};
constexpr int kPoints = 10;

}  // namespace

class WholeRoadTest : public ScreenTest {
    Q_OBJECT

private:
    void click(QWidget& form, const char* button) {
        QPushButton* b = Child<QPushButton>(form, button);
        QVERIFY2(b->isVisible() && b->isEnabled(), qPrintable(form.objectName() + "." + button));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QStringList warnings() {
        QStringList out;
        for (const auto& e : presenter().entries)
            if (e.icon == halvorn::ui::MessagePresenter::Icon::Warning)
                out << e.text;
        return out;
    }
    // Types into whatever has the focus, checking it is the field the Enter chain should have reached.
    void typeInto(halvorn::ui::Form3& form3, int field, const char* text) {
        QLineEdit* expected = form3.Field(field);
        QVERIFY2(QApplication::focusWidget() == expected,
                 qPrintable(QString("Text%1 has no focus").arg(field)));
        TypeAndEnter(QApplication::focusWidget(), text);
    }

    // From the start screen to the results screen: the defaults with an HVL of 7.0 mm Al and `copper` in
    // Text10, then the ten-point profile at 60 cm.
    void calculate(const char* copper) {
        halvorn::ui::Form1& form1 = app().form1();
        app().Start();
        click(form1, "Command1");  // 新規計算
        halvorn::ui::Form2& form2 = app().form2();
        QVERIFY(form2.isVisible());
        QCOMPARE(Child<QLineEdit>(form2, "Text1")->text(), QString("120"));
        QCOMPARE(Child<QLineEdit>(form2, "Text3")->text(), QString("2.5"));
        QCOMPARE(Child<QLineEdit>(form2, "Text5")->text(), QString("16"));
        Retype(Child<QLineEdit>(form2, "Text13"), "7.0");
        Retype(Child<QLineEdit>(form2, "Text10"), copper);
        click(form2, "Command1");  // 計算する
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join("|")));
        click(form2, "Command4");  // 次へ進む

        halvorn::ui::Form3& form3 = app().form3();
        QVERIFY(form3.isVisible());
        form3.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form3));
        form3.Field(1)->setFocus();
        typeInto(form3, 1, "60");
        typeInto(form3, 54, "10");
        typeInto(form3, 28, kProfile[0].reading);
        for (int p = 1; p <= kPoints; ++p) {
            typeInto(form3, p + 2, kProfile[p].distance);
            typeInto(form3, p + 28, kProfile[p].reading);
        }
        click(form3, "Command1");  // スペクトル計算
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join("|")));
        click(form3, "Command4");  // 結果を見る
        QVERIFY(app().form4().isVisible());
        QVERIFY(!form3.isVisible());
    }

    // What the batch tool writes for the same inputs and comment.
    void compareWithBatchTool(const QString& saved, const QString& comment, const QStringList& extra) {
        if (!QFile::exists(HALVORN_CALC_PATH))
            QSKIP("halvorn-calc is not built yet; build the halvorn-calc target to compare the saved file");
        QFile profile("road.profile.csv");
        QVERIFY(profile.open(QIODevice::WriteOnly));
        for (const auto& row : kProfile)
            profile.write(QByteArray(row.distance) + "," + row.reading + "\n");
        profile.close();
        QProcess tool;
        tool.start(HALVORN_CALC_PATH,
                   QStringList{"--table", HALVORN_TABLE_PATH, "--hvl", "7.0", "--focus-distance", "60",
                               "--profile", "road.profile.csv", "--comment", comment, "--out", "batch.csv"} +
                       extra);
        QVERIFY(tool.waitForFinished(120000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        const QByteArray expected = ReadAll("batch.csv");
        QCOMPARE(expected.count("\r\n"), 311);
        QVERIFY2(ReadAll(saved) == expected, qPrintable(saved + " differs from the batch tool's file"));
    }

private slots:
    void init() { QVERIFY(StartRun(state)); }
    void cleanup() { EndRun(); }

    void wholeCalculationSavedFoundAndShown() {
        calculate("0");
        halvorn::ui::Form4& form4 = app().form4();
        QCOMPARE(LabelText(form4, "Label22"), QString("60"));
        QCOMPARE(LabelText(form4, "Label17"), QString("120"));
        QCOMPARE(LabelText(form4, "Label20"), QString("2.5"));
        QCOMPARE(LabelText(form4, "Label26"), QString("0"));
        QCOMPARE(LabelText(form4, "Label13"), QString("10"));
        QCOMPARE(Child<QLineEdit>(form4, "Text2")->text(), QString("0"));
        QCOMPARE(LabelText(form4, "Label14"), QString("0"));
        QCOMPARE(LabelText(form4, "Label15"), Q(FormatPicture(state.BowtieAlMm[0], "##0.000")));
        QCOMPARE(state.SpectrumPeak, 1.0);
        SaveScreenshot(form4, "form4-handover.png", 300);

        // Save under a name with a comment.
        const QString comment = "道のり全体, HVL 7.0 mm Al";
        QTest::keyClicks(Child<QLineEdit>(form4, "Text1"), "road");
        presenter().answers = {comment};
        click(form4, "Command3");
        QCOMPARE(presenter().entries.back().text, QString(" ファイルを保存しました "));
        QVERIFY(QFile::exists("road.csv"));
        QVERIFY(!Child<QWidget>(form4, "Command3")->isVisible());

        // Back to the start, then find the file again and load it.
        click(form4, "Command2");
        QVERIFY(app().form1().isVisible());
        QVERIFY(!form4.isVisible());
        click(app().form1(), "Command3");  // 結果検索
        QVERIFY(form4.isVisible());
        QListWidget* list = Child<QListWidget>(form4, "File1");
        const auto items = list->findItems("road.csv", Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        ClickItem(*list, items.front());
        QCOMPARE(LabelText(form4, "Label36"), comment);
        const std::array<double, 26> bowtie = state.BowtieAlMm;
        state = CalculationState{};  // the file alone brings the calculation back
        click(form4, "Command1");
        QCOMPARE(LabelText(form4, "Label22"), QString("60.0"));
        QCOMPARE(LabelText(form4, "Label17"), QString("120"));
        QCOMPARE(LabelText(form4, "Label20"), QString("2.50"));
        QCOMPARE(LabelText(form4, "Label13"), QString("10"));
        QCOMPARE(LabelText(form4, "Label15"), Q(FormatPicture(bowtie[0], "##0.000")));

        // Points 0, 2 and N, against the centre peak and then against their own peaks.
        QCheckBox* check1 = Child<QCheckBox>(form4, "Check1");
        QLineEdit* text2 = Child<QLineEdit>(form4, "Text2");
        const struct {
            const char* text;
            int point;
            const char* distance;
        } shown[] = {{"0", 0, "0.0"}, {"2", 2, "4.0"}, {"10", 10, "20.0"}};
        for (bool own : {false, true}) {
            check1->setChecked(own);
            if (own)
                click(form4, "Command5");
            for (const auto& s : shown) {
                QTest::mouseClick(text2, Qt::LeftButton);  // empties the box
                QTest::keyClicks(text2, s.text);
                click(form4, "Command4");
                QCOMPARE(LabelText(form4, "Label14"), QString(s.distance));
                QCOMPARE(LabelText(form4, "Label15"), Q(FormatPicture(bowtie[s.point], "##0.000")));
            }
            if (!own)
                SaveScreenshot(form4, "form4-points.png", 300);
        }
        QCOMPARE(LabelText(form4, "Label13"), QString("10"));
        // The outer points see more bowtie filter than the centre.
        QVERIFY2(bowtie[10] > bowtie[2] && bowtie[2] > bowtie[0], qPrintable(LabelText(form4, "Label15")));

        // The bowtie figure: the base segment, two centre dots and three strokes per point on each side.
        click(form4, "Command6");
        halvorn::ui::Form6& form6 = app().form6();
        QVERIFY(form6.isVisible());
        int strokes = 0;
        for (const auto& op : form6.Picture1().Ops())
            strokes += op.kind != DrawingSurface::Op::Kind::LineWidth;
        QCOMPARE(strokes, 3 + 6 * kPoints);
        SaveScreenshot(form6, "form6.png", 300);
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join("|")));

        compareWithBatchTool("road.csv", comment, {});
    }

    // The beam-quality table of the run: the centre's HVL1 in aluminium is the measured 7.0 mm, the
    // selected cells copy with their headings, the whole table copies, and the CSV is the export's.
    void beamQualityTableOfTheRun() {
        calculate("0");
        halvorn::ui::Form4& form4 = app().form4();
        click(form4, "CommandBeamQuality");
        halvorn::ui::BeamQualityWindow& window = app().beamQualityWindow();
        QVERIFY(window.isVisible());
        QTableWidget* table = Child<QTableWidget>(window, "Table1");
        QCOMPARE(table->rowCount(), kPoints + 1);
        QCOMPARE(table->columnCount(), 15);
        QVERIFY(table->horizontalHeaderItem(6)->text().startsWith("第1半価層"));
        const QString hvl1 = table->item(0, 6)->text();
        QVERIFY2(hvl1.startsWith("7.00") && hvl1.size() == 5, qPrintable(hvl1));
        QCOMPARE(table->item(0, 5)->text(), QString("1.000"));  // relative fluence of the centre
        QVERIFY(LabelText(window, "LabelSource").contains("実測半価層 7 mm Al"));
        SaveScreenshot(window, "beam-quality.png", 300);

        table->setFocus();
        table->setCurrentCell(2, 6, QItemSelectionModel::ClearAndSelect);
        table->setCurrentCell(2, 7, QItemSelectionModel::Select);
        QTest::keySequence(table, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), "第1半価層 Al (mm)\t第2半価層 Al (mm)\n" +
                                                        table->item(2, 6)->text() + "\t" +
                                                        table->item(2, 7)->text() + "\n");
        click(window, "CommandCopy");
        const QStringList lines = QApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), kPoints + 3);  // headings, rows, the empty text after the last line feed
        QCOMPARE(lines[1].split('\t').size(), 15);
        QVERIFY(lines[1].startsWith("0\t0\t0.000\t"));

        presenter().answers = {QDir::current().filePath("figures")};
        click(window, "CommandSave");
        const auto expected =
            halvorn::BeamQualityCsv(halvorn::RunBeamQuality(state, halvorn::CoefficientsOf(state), kPoints));
        QCOMPARE(ReadAll("figures.csv"), QByteArray::fromStdString(expected.bytes));
        click(window, "CommandClose");
        QVERIFY(!window.isVisible());
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join("|")));
    }

    // The export of the run: the chosen families only, the notice naming them, a refused collimation
    // with its field focused, and a second export into the same folder only after a yes.
    void exportOfTheRun() {
        calculate("0");
        halvorn::ui::Form4& form4 = app().form4();
        click(form4, "CommandExport");
        halvorn::ui::ExportDialog& dialog = app().exportDialog();
        QVERIFY(dialog.isVisible());
        QLineEdit* angle = Child<QLineEdit>(dialog, "TextTargetAngle");
        QVERIFY(!angle->isEnabled());
        QCOMPARE(angle->text(), QString("16"));
        QCOMPARE(Child<QLineEdit>(dialog, "TextAngleStep")->text(), QString("0.125"));
        for (const char* box :
             {"CheckEgsnrc", "CheckXcist", "CheckGate", "CheckSpectrumText", "CheckSpreadsheet"})
            QVERIFY2(Child<QCheckBox>(dialog, box)->isChecked(), box);
        SaveScreenshot(dialog, "export-dialog.png", 300);

        Child<QCheckBox>(dialog, "CheckGate")->setChecked(false);
        Retype(Child<QLineEdit>(dialog, "TextFolder"), "out");
        QLineEdit* collimation = Child<QLineEdit>(dialog, "TextCollimation");
        Retype(collimation, "4x");
        click(dialog, "CommandWrite");
        QCOMPARE(warnings(), QStringList{Q(std::string(halvorn::kInputError.text))});
        QCOMPARE(dialog.focusWidget(), collimation);
        QCOMPARE(collimation->selectedText(), QString("4x"));
        QVERIFY(!QFileInfo::exists("out"));

        presenter().Clear();
        Retype(collimation, "4");
        click(dialog, "CommandWrite");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(presenter().entries.size(), size_t(1));
        // The notice names the folder and the count; the files are listed in its scrollable details.
        const QString notice = presenter().entries.back().text;
        const QString details = presenter().entries.back().details;
        QStringList written = QDir("out").entryList(QDir::Files, QDir::Name);
        // 11 spectra, the spectrum before the bowtie, 3 EGSnrc source files, 2 XCIST, .spk, 2 CSV and the
        // manifest
        QCOMPARE(written.size(), kPoints + 11);
        QCOMPARE(notice, QStringLiteral(" フォルダ %1 に %2 個のファイルを書き出しました ")
                             .arg(QDir::toNativeSeparators(QDir("out").absolutePath()))
                             .arg(written.size()));
        for (const QString& name : written) {
            QVERIFY2(details.split('\n').contains(name), qPrintable(name + " not in " + details));
            QVERIFY2(!name.startsWith("gate"), qPrintable(name));
        }
        const QByteArray spk = ReadAll("out/spectrum.spk");
        QVERIFY(spk.contains("# Measured HVL: 7 mm Al\n") && spk.contains("# Target angle: 16 deg\n"));
        QVERIFY(ReadAll("out/source.egsinp").contains("collimation = 4 "));

        // Again into the same folder: the user is asked, and No leaves every file as it was.
        presenter().Clear();
        QFile::remove("out/centre.spectrum");
        click(form4, "CommandExport");
        click(dialog, "CommandWrite");
        QCOMPARE(presenter().entries.size(), size_t(1));
        QCOMPARE(presenter().entries.back().icon, halvorn::ui::MessagePresenter::Icon::Question);
        QVERIFY(!QFileInfo::exists("out/centre.spectrum"));
        click(dialog, "CommandCancel");
        QVERIFY(!dialog.isVisible());
    }

    void addedCopperShowsInBothForms() {
        calculate("0.1");
        halvorn::ui::Form4& form4 = app().form4();
        QCOMPARE(LabelText(form4, "Label26"), QString("0.1"));
        QTest::keyClicks(Child<QLineEdit>(form4, "Text1"), "copper");
        presenter().answers = {QString("0.1 mm Cu")};
        click(form4, "Command3");
        QVERIFY(QFile::exists("copper.csv"));

        QListWidget* list = Child<QListWidget>(form4, "File1");
        const auto items = list->findItems("copper.csv", Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        ClickItem(*list, items.front());
        click(form4, "Command1");
        QCOMPARE(LabelText(form4, "Label26"), QString("0.10"));
        QVERIFY2(warnings().isEmpty(), qPrintable(warnings().join("|")));

        compareWithBatchTool("copper.csv", "0.1 mm Cu", {"--added-cu", "0.1"});
    }
};

QTEST_MAIN(WholeRoadTest)
#include "whole_road_test.moc"
