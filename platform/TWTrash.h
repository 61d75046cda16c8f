#pragma once

#include <string>

// What moving one item to the Trash did.
struct TWTrashOutcome {
    bool moved = false;    // the item is in the Trash now
    std::string newPath;   // where it is, when moved
    int error = 0;         // errno of the failure, when not moved
};

// The Trash as the results window uses it. The desktop implementation follows the
// freedesktop.org Trash specification; tests put a double in its place.
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
// and XDG_DATA_HOME at temporary folders.
class TWFreedesktopTrash final : public TWTrash {
public:
    TWTrashOutcome moveToTrash(const std::string& absolutePath) override;
    bool isInsideTrash(const std::string& absolutePath) const override;
    std::string homeTrashFilesFolder() const override;

    std::string homeTrashFolder() const;

    // The one instance the applications use.
    static TWFreedesktopTrash& standard();
};
