#include "common/RunModel.h"

#include <utility>

namespace halvorn::ui {

void RunModel::Set(RunRecord record) {
    record_ = std::move(record);
    emit changed();
}

void RunModel::Clear() {
    if (!record_)
        return;
    record_.reset();
    emit changed();
}

}  // namespace halvorn::ui
