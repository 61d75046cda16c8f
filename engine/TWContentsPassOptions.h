#pragma once

#include "model/TWContentsDigest.h"

#include <cstddef>
#include <optional>

// The order in which a stage of the contents pass reads the files of one device.
enum class TWContentsReadOrder {
    folder,   // folder by folder (each opened once per run of its files), by inode within
    inode,    // by inode number: close to the order of creation on most file systems
    physical, // by the position of the first byte on the device (where known), else inode
    listing,  // as the walk met them
};

// How the contents pass reads. The defaults are the ones measured best on our machines; see
// bench/README.md.
struct TWContentsPassOptions {
    unsigned readers = 0; // reader threads; 0: defaultReaderCount()
    TWContentsReadOrder order = TWContentsReadOrder::folder;
    // Give a disk whose queue says it is rotational a single reader (virtual disks, which
    // say so whatever stores their blocks, excepted).
    bool singleReaderOnRotational = true;
    std::size_t bufferSize = TWContentsReader::kDefaultBufferSize;
};

// The number of reader threads when none is asked for.
unsigned defaultReaderCount();

// What the contents pass learnt of one confirmed candidate, for its key.
struct TWNodeDigests {
    TWContentsDigest contents;
    std::optional<TWContentsDigest> resourceFork;
};
