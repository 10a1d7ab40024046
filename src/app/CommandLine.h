#pragma once

#include <QString>
#include <QStringList>

// What the arguments after the program name ask for. Anything not understood is an error that
// main reports with status 2, before anything else starts.
struct CommandLine {
    enum class Action { run, status, statusline, help, version, error };
    enum class Format { text, json, waybar };

    Action action = Action::run;
    Format format = Format::text;
    // For Action::error: what was wrong, for one line on standard error.
    QString error;

    static CommandLine parse(const QStringList& arguments);
    static QString usage();
};
