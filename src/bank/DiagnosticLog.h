#pragma once
// The bank layer's diagnostic log, "LOGWY.TXT" in the client's temporary
// work folder. Each entry is the local date and time, CR LF and the text
// (no line break after it), appended in GBK; nothing is written when the
// program runs from a read-only medium; every error is ignored.

#include <QString>

class DiagnosticLog
{
public:
    static void Write(const QString &text);
    // The log file; empty when the work folder cannot be made.
    static QString FilePath();
};
