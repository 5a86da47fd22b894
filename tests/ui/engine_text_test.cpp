// The engine's texts on the screens: each translated in the context the engine marked it in, the values of a
// phrase filled in after translation, wherever the translation puts them.

#include <QTranslator>
#include <QtTest>
#include <array>

#include "common/EngineText.h"
#include "common/Language.h"
#include "common/MessagePresenter.h"
#include "engine/ProfileGeometry.h"

using namespace halvorn;
using namespace halvorn::ui;

namespace {

// Every text as "[context] source"; the geometry's lines with their values in another order.
class MarkingTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override {
        if (QByteArray(context) == "ProfileGeometry")
            return QStringLiteral("focus %3 cm, point %1 at %2 cm");
        return QStringLiteral("[%1] %2").arg(QString::fromUtf8(context), QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

class EngineTextTest : public QObject {
    Q_OBJECT
private slots:
    void messagesAndLinesAreTranslatedInTheirContexts();
    void englishIsInstalledForTheEngineTexts();
};

void EngineTextTest::messagesAndLinesAreTranslatedInTheirContexts() {
    MarkingTranslator translator;
    QCoreApplication::installTranslator(&translator);
    const std::array<double, 2> distances{10, -60};
    const Phrase line = GeometryRefusalLine(*CheckProfileGeometry(50, distances), 50, distances);
    Message message = kFocusNotBeyondPoints;
    message.line = &line;
    RecordingPresenter presenter;
    presenter.Warning(nullptr, message);
    presenter.Warning(nullptr, kInputError, FieldProblemLine(FieldNameText(InputField::AddedCopper), "１"));
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(presenter.entries.size(), 2u);
    QCOMPARE(presenter.entries[0].text, QString::fromUtf8("[Messages] " + std::string(message.text)));
    QCOMPARE(presenter.entries[0].caption, QStringLiteral("[Messages] 焦点-回転中心間距離"));
    QCOMPARE(presenter.entries[0].line, QStringLiteral("focus 50 cm, point 2 at -60 cm"));
    // No caption of its own: the application title, untranslated.
    QCOMPARE(presenter.entries[1].caption, kAppTitle);
    QCOMPARE(presenter.entries[1].line,
             QStringLiteral("[EngineText] [Messages] 付加フィルタ（銅）：[NumberText] 全角の数字は使えません"
                            "（半角で入力してください）"));
}

// The English translation the program installs holds the engine's texts: a message and a phrase with values.
void EngineTextTest::englishIsInstalledForTheEngineTexts() {
    QVERIFY(InstallLanguage(Language::English));
    const Phrase line = GeometryRefusalLine({GeometryRefusal::Kind::PointOnCentre, 11}, 50, {});
    const QString text = MessageText(kInputError) + MessageCaption(kPointOnCentre) + PhraseText(line);
    QVERIFY(InstallLanguage(Language::Japanese));
    QCOMPARE(text,
             QStringLiteral(
                 " The input data contain an error! Off-axis distancePoint 11 has no off-axis distance"));
    QCOMPARE(PhraseText(line), QStringLiteral("ポイント 11 の軸外距離がありません"));
}

QTEST_MAIN(EngineTextTest)
#include "engine_text_test.moc"
