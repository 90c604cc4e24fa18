// Progress of a long file tool on stderr, when stderr is a terminal: one
// line rewritten at most four times a second, cleared at the end.
#pragma once

#include "tools/runner.h"

#include <chrono>
#include <ostream>
#include <string>

namespace mq::cli {

class TerminalProgress {
public:
    // `label` turns the latest progress into the text shown ("Line #:  3000").
    using Label = std::string (*)(const tools::Progress&);
    TerminalProgress(std::ostream& err, bool enabled, Label label) : err_(err), enabled_(enabled), label_(label) {}
    ~TerminalProgress()
    {
        if (shown_) err_ << "\r\033[K" << std::flush;
    }

    tools::ProgressFn callback()
    {
        if (!enabled_) return {};
        return [this](const tools::Progress& p) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last_ < std::chrono::milliseconds(250)) return;
            last_ = now;
            std::string text = label_(p);
            if (p.total > 0) text += "  (" + std::to_string(p.done * 100 / p.total) + "%)";
            err_ << '\r' << text << "\033[K" << std::flush;
            shown_ = true;
        };
    }

private:
    std::ostream& err_;
    bool enabled_;
    Label label_;
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
};

}  // namespace mq::cli
