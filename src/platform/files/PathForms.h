#pragma once
// The forms a path takes on the clipboard. The native form uses "/"; the DOS form the same path
// with every "/" turned into "\". Text taken back from the clipboard may be either form, a
// "file:" URI or the first line of a URI list.

#include <QString>

namespace kestrel {

// Every "/" turned into "\".
QString ToDosPath(const QString& path);
// Every "\" turned into "/".
QString ToUnixPath(const QString& text);

// The existing file or folder a pasted text names, empty when it names none. Only the first line
// counts. A name may hold "\" itself, so the text is tried as it is before its "\" become "/"; a
// "file:" URI is turned into its path. Only absolute paths are taken, and text longer than any
// path is not looked at.
QString FromClipboardPath(const QString& text);

// The longest path text looked at.
inline constexpr qsizetype kLongestPathText = 4096;

} // namespace kestrel
