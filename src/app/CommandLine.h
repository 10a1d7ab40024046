#pragma once

#include <QString>
#include <QStringList>

// What the arguments after the program name ask for. Anything not understood is an error that
// main reports with status 2, before anything else starts.
struct CommandLine {
    enum class Action { run, status, statusline, refresh, settings, quit, help, version, error };
    enum class Format { text, json, waybar };

    Action action = Action::run;
    Format format = Format::text;
    // status --waybar --follow: a line now and another at each change, until ended.
    bool follow = false;
    // For Action::error: what was wrong, for one line on standard error.
    QString error;

    static CommandLine parse(const QStringList& arguments);
    // The help, no line wider than 80 columns in any language.
    static QString usage();
};
