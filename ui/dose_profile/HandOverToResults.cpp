#include "dose_profile/HandOverToResults.h"

#include "dose_profile/Form3.h"
#include "results/Form4.h"
#include "shell/Application.h"

namespace halvorn::ui {

void HandOverToResults(Application& app) {
    Form4& results = app.form4();
    results.EnterResultState();
    results.show();
    app.form3().hide();
}

}  // namespace halvorn::ui
