#pragma once
// Path operations around the files the program writes: following symbolic links, telling a
// missing file from one that cannot be read, the mode a replacing file takes, moving a finished
// file onto its target, and creating the folders a first write needs.
#include <string>
#include <sys/types.h>

namespace orvel::platform {

// The file path names once the symbolic links of its last component are followed; path itself
// when it is no link. A link to a missing file gives the path of that missing file, so that
// writing through it creates the file and keeps the link.
std::string FollowLinks(const std::string& path);

// True only when nothing exists at path: a file that exists but cannot be read is not missing.
bool IsMissing(const std::string& path);

// Whether a finished file may be renamed onto path (links already followed): only when nothing is
// there yet, or a regular file this process may write. A rename would swap a device, FIFO,
// socket or folder for a regular file, and would overwrite a read-only file through its folder's
// permissions; a file without any write permission bit counts as read-only even for root.
bool IsReplaceable(const std::string& path);

// The permission bits for a file that replaces path: those of the file there now, or those an
// ordinary new file gets (0666 less the process's umask) when there is none.
mode_t ModeForReplacing(const std::string& path);

// Renames file onto target, or onto the file a symbolic link at target points to, giving it the
// mode of the file it replaces; false, with target untouched, when it is not replaceable or the
// rename fails.
bool MoveOnto(const std::string& file, const std::string& target);

// Creates folder and every missing parent with mode 0700 (private, as configuration folders are);
// true when folder exists afterwards.
bool CreateFolders(const std::string& folder);

}  // namespace orvel::platform
