// Opening a defaults file that a filter reads for a job's owner with
// privileges the owner may lack: only a file the owner or root put there.
#ifndef COMMON_OPTIONS_OWNEDFILE_H_
#define COMMON_OPTIONS_OWNEDFILE_H_

#include <sys/types.h>

#include <string>

/// Opens `path` for reading without following a symbolic link and without
/// blocking, then checks the open file before a byte is read: owned by
/// `owner` or root, no second name of a file `owner` does not own, not
/// writable by others, a regular file. Returns the descriptor, or -1 with
/// `problem` saying why (empty when there is no file). The reason tells
/// nothing of a file the owner does not own: not its content, its size,
/// nor whether a link's target exists.
int openOwnedFile(const std::string& path, uid_t owner, std::string* problem);

#endif  // COMMON_OPTIONS_OWNEDFILE_H_
