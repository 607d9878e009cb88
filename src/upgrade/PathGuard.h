#pragma once
// Path checks for everything the upgrade writes: a path is resolved (every
// symbolic link in its existing part followed) before it is compared with
// the folder it must stay in, and the resolved form is the one used.

#include <QString>

class PathGuard
{
public:
    // "\" turned into "/".
    static QString slashes(const QString &path);
    // The absolute, cleaned path with its existing part canonicalised and the
    // rest appended; empty when the path is relative or its existing part
    // cannot be resolved (a dangling link, for one).
    static QString resolve(const QString &path);
    // True when `path` lies strictly below `root` (both resolved).
    static bool isBelow(const QString &path, const QString &root);
    // True when the entry itself is a symbolic link (not followed).
    static bool isSymLink(const QString &path);
    // True when something (a file, folder or link, even a dangling one) is
    // at the path.
    static bool existsEntry(const QString &path);
};
