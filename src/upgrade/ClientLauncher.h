#pragma once
// Starts the client again from an argument list, never through a shell.
//
// The command comes from the hand-over: argument 4 (the client's command
// line) is split by CommandLine's rules; its first element is the program
// when it is an absolute path, otherwise argument 3 (the client's full
// executable path) is. The remaining elements are the arguments. The
// client runs in its installation folder, spelled as it was handed over.

#include "UpgradeArguments.h"

#include <QString>
#include <QStringList>

class ClientLauncher
{
public:
    struct Command {
        QString program;
        QStringList arguments;
        QString workingDirectory;
        bool operator==(const Command &) const = default;
    };

    static Command commandFor(const UpgradeArguments &arguments);
    // Starts it detached; false when it could not be started.
    static bool start(const Command &command);
};
