#include <QApplication>

#include "CalculationState.h"
#include "common/MessagePresenter.h"
#include "shell/Application.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    static halvorn::CalculationState state;
    halvorn::ui::QtMessagePresenter presenter;
    halvorn::ui::Application app(state, presenter);
    app.Start();
    return qapp.exec();
}
