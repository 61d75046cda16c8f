#pragma once

#include <string>

// What moving one item to the Trash did.
struct TWTrashOutcome {
    bool moved = false;  // the item is in the Trash now
    std::string newPath; // where it is, when moved
    int error = 0;       // errno of the failure, when not moved
};

// The Trash as the results window uses it. The desktop implementation keeps the shared
// freedesktop.org Trash layout that file managers read; tests put a double in its place.
class TWTrash {
public:
    virtual ~TWTrash() = default;

    // Moves the item at `absolutePath` (raw bytes, not followed if it is a link) into the
    // trash of its file system. Never copies across devices, never deletes.
    virtual TWTrashOutcome moveToTrash(const std::string& absolutePath) = 0;

    // Whether the path lies inside the files/ folder of a trash (home or top-level).
    virtual bool isInsideTrash(const std::string& absolutePath) const = 0;

    // The home trash's files/ folder, the one the path view shows as "Trash".
    virtual std::string homeTrashFilesFolder() const = 0;
};

// The freedesktop.org Trash: the home trash $XDG_DATA_HOME/Trash (default
// ~/.local/share/Trash) and, for items on other mounts, $topdir/.Trash/$uid or
// $topdir/.Trash-$uid. Environment variables are read at each call, so tests can point HOME
// and XDG_DATA_HOME at temporary folders. Holds no state; safe to use from any thread.
//
// moveToTrash:
// - The item's folder is resolved (links in it followed), its last component is not: a
//   link goes to the trash as the link. Path= in the info file is that resolved path, or,
//   in a top-level trash, the same path relative to $topdir.
// - An item on the home trash's device goes to the home trash (created 0700 when missing);
//   any other item goes to a trash at the top of its own mount. The item is only ever
//   renamed, so it is never copied across devices and never replaces anything already in
//   the trash; when no trash on its mount can be used the outcome carries the errno of the
//   last attempt (EXDEV when none could be attempted).
// - A name taken in the trash becomes "stem.N.ext" ("name.N" without an extension, and a
//   leading period does not start an extension); newPath is the name really used.
// - An item already inside a trash's files/ folder is reported as moved, at its own path,
//   without any file operation. A path naming a trash folder itself or one of the folders
//   above it is refused with EINVAL.
// - Errors: EINVAL for a path that is not absolute or ends in "." or ".."; the errno of the
//   failing call otherwise (ENOENT for a missing item). A failure leaves the item in place
//   and removes the info file it had made.
class TWFreedesktopTrash final : public TWTrash {
public:
    TWTrashOutcome moveToTrash(const std::string& absolutePath) override;
    // Decided by path components: the path (after "." and ".." are taken out, and again with
    // the existing folders above it resolved) lies below the home trash's files/ folder, or
    // below $topdir/.Trash/$uid/files or $topdir/.Trash-$uid/files of a mount point $topdir.
    // The item itself need not exist.
    bool isInsideTrash(const std::string& absolutePath) const override;
    // homeTrashFolder() + "/files"; empty when no home folder is known.
    std::string homeTrashFilesFolder() const override;

    // $XDG_DATA_HOME/Trash when that variable holds an absolute path, else
    // $HOME/.local/share/Trash (the password database's home when HOME is unset or not
    // absolute); empty when no home folder is known.
    std::string homeTrashFolder() const;

    // The one instance the applications use.
    static TWFreedesktopTrash& standard();
};
