// The kernel's rule for links in shared folders, which a save on Linux
// follows (os/posix/disk_file_posix.cpp).
#pragma once

#include <sys/types.h>

namespace vexa {

// fs.protected_symlinks: a link in a sticky folder that every user may write
// is followed only by its owner or when it belongs to the folder's owner.
bool MayFollowLink(mode_t folderMode, uid_t folderOwner, uid_t linkOwner, uid_t user);

}  // namespace vexa
