#pragma once

#include <QPushButton>

namespace halvorn::ui {

// A push button whose caption is shown on several lines: broken at each ASCII blank and wrapped to the
// face where a line is still too wide. The caption text itself keeps its blanks (tests and tool tips read
// it as written). Used for the tall, narrow graph button and the two-line bowtie button.
class MultiLineButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace halvorn::ui
