#include "shell/Form5.h"

#include "shell/Application.h"

namespace halvorn::ui {

Form5::Form5(Application& app) : QWidget(nullptr), app_(app) { setObjectName("Form5"); }

}  // namespace halvorn::ui
