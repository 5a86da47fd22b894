#pragma once

// How the engine's long runs talk to whoever called them: the program shows message boxes and the busy
// dialog, the batch tool prints to standard error, and the tests record every call in order.

#include <string>
#include <vector>

#include "engine/Messages.h"

namespace halvorn {

class Reporter {
public:
    virtual ~Reporter() = default;
    // A warning box (exclamation icon, OK button).
    virtual void Warning(const Message& message) = 0;
    // A completion notice: OK button, no icon, application title.
    virtual void Notice(const Message& message) = 0;
    // Let pending user-interface events run once (so the busy dialog paints).
    virtual void LetEventsRun() = 0;
    virtual void ShowBusy() = 0;
    virtual void HideBusy() = 0;
};

// Records every report in order; used by the tests.
class RecordingReporter : public Reporter {
public:
    enum class Kind { Warning, Notice, Events, ShowBusy, HideBusy };
    struct Entry {
        Kind kind;
        std::string text;     // message text (Warning, Notice)
        std::string caption;  // caption as given (Warning)
        MessageId id{};       // identity (Warning, Notice)
        std::string line{};   // the line naming what is wrong, filled in (Warning)
    };

    void Warning(const Message& m) override {
        entries.push_back({Kind::Warning, std::string(m.text), std::string(m.caption), m.id,
                           m.line ? Filled(*m.line) : ""});
    }
    void Notice(const Message& m) override {
        entries.push_back({Kind::Notice, std::string(m.text), {}, m.id, {}});
    }
    void LetEventsRun() override { entries.push_back({Kind::Events, {}, {}, {}, {}}); }
    void ShowBusy() override { entries.push_back({Kind::ShowBusy, {}, {}, {}, {}}); }
    void HideBusy() override { entries.push_back({Kind::HideBusy, {}, {}, {}, {}}); }

    // The texts of the warnings, in order.
    std::vector<std::string> Warnings() const {
        std::vector<std::string> out;
        for (const auto& e : entries)
            if (e.kind == Kind::Warning)
                out.push_back(e.text);
        return out;
    }

    std::vector<Entry> entries;
};

}  // namespace halvorn
