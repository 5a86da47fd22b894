#include "centre_axis/Form2.h"

#include "shell/Application.h"

namespace halvorn::ui {

Form2::Form2(Application& app) : QWidget(nullptr), app_(app) { setObjectName("Form2"); }

void Form2::ResetForNewCalculation() {}
DrawingSurface& Form2::Picture3() { return *static_cast<DrawingSurface*>(nullptr); }

}  // namespace halvorn::ui
