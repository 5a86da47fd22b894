#include "dose_profile/Form3.h"

#include "shell/Application.h"

namespace halvorn::ui {

Form3::Form3(Application& app) : QWidget(nullptr), app_(app) { setObjectName("Form3"); }

void Form3::EnterFromCentreAxis() {}

}  // namespace halvorn::ui
