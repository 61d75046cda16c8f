#include "platform/TWReadAccess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace {

struct Credentials {
    uid_t user;
    std::vector<gid_t> groups;
};

const Credentials& processCredentials() {
    static const Credentials credentials = [] {
        Credentials c{::geteuid(), {::getegid()}};
        int count = ::getgroups(0, nullptr);
        if (count > 0) {
            std::vector<gid_t> more(static_cast<std::size_t>(count));
            count = ::getgroups(count, more.data());
            if (count > 0)
                c.groups.insert(c.groups.end(), more.begin(), more.begin() + count);
        }
        return c;
    }();
    return credentials;
}

bool modeGrantsRead(const TWStatSnapshot& stat) {
    const Credentials& me = processCredentials();
    if (me.user == 0)
        return true; // reading is never refused to the superuser on a local file system
    if (stat.owner == me.user)
        return (stat.mode & S_IRUSR) != 0;
    for (gid_t group : me.groups)
        if (group == stat.group)
            return (stat.mode & S_IRGRP) != 0;
    return (stat.mode & S_IROTH) != 0;
}

} // namespace

bool isReadableItem(TWItemLocation item, const TWStatSnapshot* stat) {
    if (stat && !stat->isSymbolicLink() && modeGrantsRead(*stat))
        return true;
    return ::faccessat(item.directoryFd, item.name, R_OK, 0) == 0;
}
