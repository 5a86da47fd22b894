#include "results/Form6.h"

#include "shell/Application.h"

namespace halvorn::ui {

Form6::Form6(Application& app) : QWidget(nullptr), app_(app) { setObjectName("Form6"); }

void Form6::DrawBowtieShape() {}

}  // namespace halvorn::ui
