#include <QApplication>
#include <QFont>

#include "common/MessagePresenter.h"
#include "engine/CalculationState.h"
#include "shell/Application.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvorn"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP")));
    static halvorn::CalculationState state;
    halvorn::ui::QtMessagePresenter presenter;
    halvorn::ui::Application app(state, presenter);
    app.Start();
    return qapp.exec();
}
