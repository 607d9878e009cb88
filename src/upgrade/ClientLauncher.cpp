#include "ClientLauncher.h"

#include "CommandLine.h"
#include "PathGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

ClientLauncher::Command ClientLauncher::commandFor(const UpgradeArguments &arguments)
{
    Command c;
    QStringList words = CommandLine::split(arguments.clientCommandLine);
    if (!words.isEmpty() && QDir::isAbsolutePath(PathGuard::slashes(words.first())))
        c.program = PathGuard::slashes(words.takeFirst());
    else {
        if (!words.isEmpty())
            words.removeFirst();
        c.program = PathGuard::slashes(arguments.clientExecutable);
    }
    c.arguments = words;
    const QString install = PathGuard::slashes(arguments.installDir);
    c.workingDirectory = QFileInfo(install).isDir() ? install : QFileInfo(c.program).absolutePath();
    return c;
}

bool ClientLauncher::start(const Command &command)
{
    if (command.program.isEmpty())
        return false;
    return QProcess::startDetached(command.program, command.arguments, command.workingDirectory);
}
