#pragma once

namespace halvorn::ui {

class Application;

// The results button of the dose-profile screen: opens the results screen in its result state with the
// centre spectrum of the calculation just made, then hides the dose-profile screen.
void HandOverToResults(Application& app);

}  // namespace halvorn::ui
