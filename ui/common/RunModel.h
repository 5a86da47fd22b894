#pragma once

// The run the program has on show, for every window that shows it: the record of the calculation just
// made (the centre-axis screen records the calibration, the dose-profile screen adds its profile) or of
// the result file loaded on the results screen. Windows redraw from it when it changes instead of asking
// each other; nothing else carries a run's figures between windows.

#include <QObject>
#include <optional>

#include "engine/RunRecord.h"

namespace halvorn::ui {

class RunModel : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The record on show, or nullptr when there is none (a new calculation, a failed calibration).
    const RunRecord* current() const { return record_ ? &*record_ : nullptr; }

    void Set(RunRecord record);
    void Clear();

signals:
    void changed();

private:
    std::optional<RunRecord> record_;
};

}  // namespace halvorn::ui
