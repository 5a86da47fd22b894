#include "results/Form4.h"

#include "shell/Application.h"

namespace halvorn::ui {

Form4::Form4(Application& app) : QWidget(nullptr), app_(app) { setObjectName("Form4"); }

void Form4::OpenResultsBrowser() {}
DrawingSurface& Form4::Picture3() { return *static_cast<DrawingSurface*>(nullptr); }

}  // namespace halvorn::ui
