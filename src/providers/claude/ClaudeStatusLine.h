#pragma once

#include "Instant.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What Claude Code writes on the standard input of its status-line command after each answer:
// the model, its own version and, for subscribers, the five-hour and weekly windows.
struct ClaudeStatusLine {
    struct Window {
        // As sent; may exceed 100.
        double usedPercent = 0.0;
        std::optional<Instant> resetAt;
    };

    QString model;
    QString version;
    std::optional<Window> fiveHour;
    std::optional<Window> weekly;

    // Larger input is not read: the feed is a few hundred bytes.
    static constexpr qsizetype maxInputBytes = 1 << 20;

    // None for anything but a JSON object; members of the wrong type are left out.
    static std::optional<ClaudeStatusLine> parse(const QByteArray& input);
    // The windows in the usage endpoint's own form, so that they read exactly as a fetch's, with
    // Claude Code's version beside them as "claude_code_version"; empty without windows.
    QByteArray usageBody() const;
};
