#pragma once
// The installation folder and the per-machine work folder.
//
// ProgramDir() is the folder of the running executable with a trailing
// separator unless overridden, in this order, by the command-line option
// "--program-dir DIR" (see initProgramDir) and the environment variable
// OSTREL_PROGRAM_DIR. Every data file name is relative to it.

#include <QString>
#include <QStringList>

// Reads the override from the arguments (and the environment); call once
// early in main(). Returns the arguments without the option.
QStringList initProgramDir(const QStringList &arguments);
// Sets the folder directly (tests).
void setProgramDir(const QString &dir);
QString ProgramDir();
// ProgramDir() + a relative name written with "\" or "/", with the native
// separator of this system.
QString programFile(const QString &relativeName);
// A relative name written with "\" turned into this system's separators.
QString nativeRelative(const QString &relativeName);

// The client's temporary work folder ("Vantrel" under the system's
// temporary folder), created with its parents; trailing separator; empty
// when it cannot be created. OSTREL_TEMP_DIR overrides the system folder.
QString TempWorkDir();

// True when the program folder lies on a read-only or optical medium, so
// nothing may be written there.
bool RunFromCD();
// Overrides the answer of RunFromCD (tests); -1 clears the override.
void setRunFromCDOverride(int value);
