#include "shell/Form1.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>

#include "common/Language.h"
#include "common/ScreenLayout.h"
#include "engine/Version.h"
#include "shell/Application.h"
#include "shell/GeometryFigure.h"

namespace halvorn::ui {

namespace {

const QColor kLabelBlue(0, 0, 255);
const QColor kTitleYellow(255, 255, 0);

// The start screen's texts (translated where shown), positions in twips.
struct LabelRow {
    const char* name;
    int left, top, width, height;
    const char* text;
    bool blue;
};

const LabelRow kLabels[] = {
    {"Label1", 480, 1200, 5280, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "CT装置の任意点におけるＸ線スペクトル"), true},
    {"Label11", 480, 1680, 6360, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "および ボウタイフィルタの形状を推定計算します"), true},
    {"Label3", 480, 2280, 5415, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "次の３つのデータが必要です（右図参照）"), false},
    {"Label9", 480, 2760, 3465, 285, QT_TRANSLATE_NOOP("halvorn::ui::Form1", "１．焦点 - 回転中心間距離"),
     false},
    {"Label4", 480, 3240, 5700, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "２．回転中心におけるアルミ半価層の実測値"), false},
    {"Label5", 480, 3720, 7125, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "３．回転中心から側方向線上の照射線量（空気カーマ）"), false},
    {"Label6", 1200, 4080, 5280, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "（線量プロファイル (最大25ポイント)）"), false},
    {"Label8", 840, 4680, 5415, 285,
     QT_TRANSLATE_NOOP("halvorn::ui::Form1", "計算方法はマニュアルに記載されています"), true},
};

// The exit icon: an open door with an arrow leaving through it.
QIcon ExitIcon() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 3));
    painter.setBrush(QColor(235, 235, 235));
    painter.drawRect(8, 6, 32, 52);  // door frame
    QPolygonF door;
    door << QPointF(8, 6) << QPointF(26, 12) << QPointF(26, 62) << QPointF(8, 58);
    painter.setBrush(QColor(170, 110, 60));
    painter.drawPolygon(door);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawEllipse(QPointF(22, 36), 2, 2);  // door knob
    painter.setPen(QPen(kRed, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(30, 32), QPointF(56, 32));
    painter.setBrush(kRed);
    painter.setPen(Qt::NoPen);
    QPolygonF head;
    head << QPointF(60, 32) << QPointF(48, 22) << QPointF(48, 42);
    painter.drawPolygon(head);
    return QIcon(pixmap);
}

// The decorative icon: a small red spectrum over an axis.
QPixmap DecorativeIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(3, 29), QPointF(30, 29));
    painter.drawLine(QPointF(3, 29), QPointF(3, 3));
    QPainterPath curve;
    curve.moveTo(4, 29);
    curve.cubicTo(8, 8, 14, 6, 18, 14);
    curve.lineTo(19, 5);
    curve.lineTo(20, 16);
    curve.cubicTo(23, 24, 26, 27, 29, 28);
    painter.setPen(QPen(kRed, 1.8));
    painter.drawPath(curve);
    return pixmap;
}

QPushButton* AddTextButton(QWidget* parent,
                           const char* name,
                           const QString& text,
                           int left,
                           int top,
                           int width,
                           int height) {
    auto* button = new QPushButton(text, parent);
    Place(button, name, left, top, width, height);
    button->setFont(JapaneseFont(15.75));
    SetBackground(button, kLightYellow);
    button->setAutoDefault(true);  // Enter on a focused button presses it
    return button;
}

}  // namespace

Form1::Form1(Application& app) : QWidget(nullptr), app_(app) {
    SetUpScreen(*this, "Form1", tr("　Halvorn  version 2"), 14610, 6570);

    // The shadowed title: the yellow copy lies behind the red one, 30 twips right and 20 lower.
    const QString title = QStringLiteral("Halvorn  ver.2");
    const QFont titleFont = TimesFont(27.75, true);
    QLabel* shadow = AddLabel(this, "TitleShadow", title, 1560, 240, 3945, 645, titleFont, kTitleYellow);
    QLabel* front = AddLabel(this, "Title", title, 1530, 220, 3945, 645, titleFont, kRed);
    shadow->lower();
    front->raise();

    const QFont labelFont = JapaneseFont(14.25);
    for (const LabelRow& row : kLabels)
        AddLabel(this, row.name, tr(row.text), row.left, row.top, row.width, row.height, labelFont,
                 row.blue ? kLabelBlue : Qt::black);

    // The manual line is a link: underlined, with the pointing hand, in its place and colour.
    label8_ = findChild<QLabel*>(QStringLiteral("Label8"));
    QFont linkFont = label8_->font();
    linkFont.setUnderline(true);
    label8_->setFont(linkFont);
    label8_->setCursor(Qt::PointingHandCursor);
    label8_->setToolTip(ManualToolTip());
    label8_->installEventFilter(this);

    QPushButton* command1 = AddTextButton(this, "Command1", tr("新規計算"), 1800, 5160, 1815, 735);
    QPushButton* command3 = AddTextButton(this, "Command3", tr("結果検索"), 4200, 5160, 1815, 735);
    auto* command2 = new QPushButton(this);
    Place(command2, "Command2", 360, 5760, 520, 520);
    command2->setIcon(ExitIcon());
    command2->setIconSize(command2->size() - QSize(8, 8));
    command2->setToolTip(QStringLiteral(" bye bye "));
    command2->setAutoDefault(true);

    // Under the two buttons, clear of the exit icon and the decorative icon: the version and the working
    // folder, in full in its tool tip.
    workingFolder_ = AddLabel(this, "WorkingFolder", {}, 1020, 6080, 5700, 240, JapaneseFont(9), kDarkGrey);
    workingFolder_->setFixedWidth(TwipsRect(0, 0, 5700, 240).width());

    AddLanguageChoice();

    auto* picture1 = new GeometryFigure(this);
    picture1->setGeometry(TwipsRect(7800, 240, 6480, 6000));

    auto* picture2 = new QLabel(this);
    Place(picture2, "Picture2", 6840, 5880, 480, 480);
    picture2->setPixmap(DecorativeIcon(picture2->width()));

    connect(command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    CentreOnScreen(*this);
}

// Each language is named in its own words, so a reader of either finds it; the language on show is
// checked. Choosing the other one builds the screens afresh in it.
void Form1::AddLanguageChoice() {
    auto* group = new QButtonGroup(this);
    const struct {
        const char* name;
        Language language;
        QString text;
        int left;
    } choices[] = {{"LanguageJapanese", Language::Japanese, QStringLiteral("日本語"), 5700},
                   {"LanguageEnglish", Language::English, QStringLiteral("English"), 6600}};
    for (const auto& choice : choices) {
        auto* button = new QPushButton(choice.text, this);
        Place(button, choice.name, choice.left, 300, 870, 330);
        button->setFont(JapaneseFont(9.75));
        button->setCheckable(true);
        button->setStyleSheet(QStringLiteral("QPushButton:checked { font-weight: bold; }"));
        button->setChecked(InstalledLanguage() == choice.language);
        button->setCursor(Qt::PointingHandCursor);
        group->addButton(button);
        const Language language = choice.language;
        connect(button, &QPushButton::clicked, this, [this, language] { app_.SwitchLanguage(language); });
    }
}

void Form1::Command1_Click() {
    app_.StartNewCalculation();
}

void Form1::Command2_Click() {
    app_.Quit(0);
}

void Form1::Command3_Click() {
    app_.OpenResultsBrowser();
}

void Form1::Label8_Click() {
    const QString path = app_.ManualPath();
    if (path.isEmpty()) {
        app_.presenter().Warning(
            this,
            tr(" マニュアルが見つかりません。次の場所に置かれているはずです： \n%1").arg(ManualPlaces()),
            tr("マニュアル"));
        return;
    }
    if (!app_.openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
        app_.presenter().Warning(
            this, tr(" マニュアルを開けませんでした： \n%1").arg(QDir::toNativeSeparators(path)),
            tr("マニュアル"));
}

QString Form1::FolderLinePrefix() const {
    return tr("Halvorn %1　作業フォルダ： ").arg(QString::fromStdString(ProgramVersion()));
}

QString Form1::WorkingFolderLine() const {
    return FolderLinePrefix() + QDir::toNativeSeparators(QDir::currentPath());
}

// A long folder is shortened in the middle to the line's width.
void Form1::showEvent(QShowEvent* event) {
    const QString prefix = FolderLinePrefix();
    const QFontMetrics metrics(workingFolder_->font());
    const QString folder = QDir::toNativeSeparators(QDir::currentPath());
    workingFolder_->setText(prefix +
                            metrics.elidedText(folder, Qt::ElideMiddle,
                                               workingFolder_->width() - metrics.horizontalAdvance(prefix)));
    workingFolder_->setToolTip(folder);
    QWidget::showEvent(event);
}

QString Form1::ManualToolTip() const {
    const QString path = app_.ManualPath();
    if (path.isEmpty())
        return tr("マニュアルが見つかりません：\n%1").arg(ManualPlaces());
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString Form1::ManualPlaces() const {
    QStringList places;
    for (const QString& candidate : app_.ManualCandidates())
        places << QDir::toNativeSeparators(candidate);
    return places.join('\n');
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label8_) {
        if (event->type() == QEvent::ToolTip)
            label8_->setToolTip(ManualToolTip());  // the file may have come or gone since
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && label8_->rect().contains(mouse->position().toPoint())) {
                Label8_Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    app_.Quit(0);
}

}  // namespace halvorn::ui
