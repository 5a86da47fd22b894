#include "shell/Form1.h"

#include "shell/Application.h"

namespace halvorn::ui {

Form1::Form1(Application& app) : QWidget(nullptr), app_(app) { setObjectName("Form1"); }

}  // namespace halvorn::ui
