#pragma once
// Checked file copies. A copy is written to a temporary file in the
// destination's folder, flushed to disk and compared in size with the
// source, then renamed over the destination, so the destination is always
// either the old file or the whole new one.

#include <QString>
#include <functional>
#include <optional>

class SafeCopy
{
public:
    struct Options {
        // Permission bits (as in st_mode) of the new file; the source's
        // when not given.
        std::optional<unsigned> mode;
        // Give the copy the source's modification time (backups, restores).
        bool keepModificationTime = false;
        // Called with the temporary file's name before it is created; a
        // false answer stops the copy (the journal could not note it).
        std::function<bool(const QString &)> beforeTemporary;
    };

    static bool copy(const QString &source, const QString &destination, const Options &options,
                     QString *error);
    // The first free "<destination>.upgtmp<N>" name.
    static QString temporaryNameFor(const QString &destination);
    // Removes a file even when it is read-only; true when nothing is left.
    static bool removeFile(const QString &path);
    // The permission bits of a file (st_mode & 07777), or nullopt.
    static std::optional<unsigned> modeOf(const QString &path);
    // True when both files exist with the same bytes and permissions.
    static bool sameFile(const QString &a, const QString &b);
    // Flushes a folder's entries (a rename in it) to disk.
    static void syncFolder(const QString &dir);
};
