#pragma once
// Copying, moving and renaming one file at the system level. Nothing here ever deletes a file
// before its replacement is complete, and nothing overwrites unless the name says "Replacing":
//
// - a copy goes into a new file that the system refuses to make when the name exists (EEXIST);
//   its data moves through copy_file_range where the system offers it; mode and modification time
//   are kept; a copy that fails or is stopped leaves no partial file behind;
// - a move is a rename that refuses to replace; across volumes (EXDEV) it copies, makes sure the
//   copy is on disk and as long as the source, and only then removes the source;
// - replacing an existing target writes the copy beside it under a temporary name and renames it
//   over the target; a target that is the source itself (same device and inode: the same name, a
//   hard link, a symbolic link, another case on a case-insensitive volume) is refused.
//
// Every function returns 0 on success, else the system's error number (errno) or kSameFile.

#include <QString>

#include <atomic>

namespace kestrel {

// The target is the source itself: copying or moving over it would destroy it.
inline constexpr int kSameFile = -1;

// What a caller watching a long copy sees, and how it stops one; both may be null.
struct TCopyControl {
  std::atomic<qint64>* Copied = nullptr;   // bytes copied so far are added here
  const std::atomic<bool>* Stop = nullptr; // once set, the copy ends with ECANCELED
};

// Copies the regular file source to target, which must not exist (EEXIST).
int CopyNewFile(const QString& source, const QString& target, const TCopyControl& control = {});
// Copies source to target, replacing a file target.
int CopyReplacing(const QString& source, const QString& target, const TCopyControl& control = {});
// Moves source to target, which must not exist.
int MoveNewFile(const QString& source, const QString& target, const TCopyControl& control = {});
// Moves source to target, replacing a file target.
int MoveReplacing(const QString& source, const QString& target, const TCopyControl& control = {});
// Renames a file or folder; EEXIST when the new name is taken (a change of case only, on a volume
// that ignores case, is allowed).
int RenameNoReplace(const QString& from, const QString& to);

// A name on disk that is not valid UTF-8 reaches the program with its bad bytes replaced (U+FFFD)
// and cannot be found again under that name: such a path fails with EILSEQ, not "no such file".
// Returns error, or EILSEQ for an ENOENT of such a path.
int NameError(int error, const QString& path, const QString& other = {});

// Whether both names reach the same file (device and inode); false when either does not exist.
bool SameFile(const QString& a, const QString& b);

} // namespace kestrel
