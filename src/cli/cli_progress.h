// Progress of a long file tool on stderr, when stderr is a terminal: one
// line ("Row #: 3000  (25%)") rewritten at most four times a second, cleared
// at the end. Every file subcommand shows its progress through this.
#pragma once

#include "tools/runner.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <string>
#include <utility>

namespace mq::cli {

class TerminalProgress {
public:
    // `unit` goes before the count ("Row #: ").
    TerminalProgress(std::ostream& err, bool enabled, std::string unit)
        : err_(err), enabled_(enabled), unit_(std::move(unit))
    {
    }
    ~TerminalProgress()
    {
        if (shown_) err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    }

    tools::ProgressFn callback()
    {
        if (!enabled_) return {};
        return [this](const tools::Progress& p) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last_ < std::chrono::milliseconds(250)) return;
            last_ = now;
            std::string text = unit_ + std::to_string(p.count);
            if (p.total > 0) text += "  (" + std::to_string(p.done * 100 / p.total) + "%)";
            // Blanks over the rest of a longer earlier text: plain characters
            // work on every console.
            const std::size_t pad = width_ > text.size() ? width_ - text.size() : 0;
            width_ = std::max(width_, text.size());
            err_ << '\r' << text << std::string(pad, ' ') << std::flush;
            shown_ = true;
        };
    }

private:
    std::ostream& err_;
    bool enabled_;
    std::string unit_;
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
    std::size_t width_ = 0;
};

}  // namespace mq::cli
