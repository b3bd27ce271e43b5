// The program's command line: options, and the songs named by the other arguments.
#pragma once

#include <QString>
#include <QStringList>

#include "instancemessage.h"

struct CommandLine {
    enum Action {
        Run,     // start (or hand `words` to the running copy)
        Help,    // print usage()
        Version, // print the name and version
        Remote,  // send `command` to the running copy
        Error    // print `error` and exit with status 2
    };

    Action action = Run;
    InstanceRequest::Kind command = InstanceRequest::Activate; // for Remote
    QStringList words; // the arguments that name songs, as given
    QString error;

    // `arguments` without the program. "--" ends the options; "-" alone is a name. --help and
    // --version win over everything else; an unknown option is an error, never a song.
    static CommandLine parse(const QStringList &arguments);

    // The songs `words` name, as absolute paths, relative ones taken from `startFolder`.
    // Arguments that each name an existing file are one song each; a run of arguments that
    // only names a file when joined with single spaces (a path the desktop passed unquoted) is
    // one song; what names nothing joins the arguments before the next that do into one path.
    // Nothing when the first word is empty.
    static QStringList songPaths(const QStringList &words, const QString &startFolder);

    static QString usage();
};
