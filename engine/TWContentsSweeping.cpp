#include "engine/TWSearchController.h"

#include "model/TWContentsDigest.h"
#include "platform/TWContentsReader.h"

#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_set>

// The contents pass, on the search's worker thread right after the walk. The walk's groups
// are candidates: files that agree on every other criterion and on their size. The pass
// splits each candidate group in stages of rising cost: by a digest of the first 4 KiB, then
// of the last 4 KiB, then of everything, so that a file is read whole only while it still has
// a partner, and at most once. A file that cannot be read to its end drops out. The
// survivors are keyed again with their digests and filed in the key map, which makes the
// final groups; files of different candidate groups never meet.
//
// The first stage starts during the walk: a file's head is read as soon as the file has a
// partner of its size (TWHeadPrefetch, below). A stage's reading is shared by a few reader
// threads, each with its own buffer, over the stage's files ordered for locality. The worker thread reads nothing itself: it keeps the
// progress line and the stop flag to their usual pace while the readers work. Readers touch
// only what the pass hands them (a folder path, a name, what the walk saw), never the path
// chains the nodes share, which are not made for several threads.

namespace {

using TWNodeContents::Kind;

enum class Fate : std::uint8_t { open, dropped, confirmed };

// A disk that says it is rotational, unless it is a virtual one: those report the flag
// whatever stores their blocks (ours do, and several readers serve them faster).
bool isSpinningDisk(std::uint64_t device) {
    return isRotationalDevice(device).value_or(false) && !isVirtualBlockDevice(device);
}

struct Candidate {
    TWFileSystemPath* node;
    std::uint64_t size;
    std::uint64_t order;     // the inode, or the physical offset once known
    TWContentsDigest digest; // the latest stage's
    std::uint32_t classId;   // equal ids: not yet told apart
    std::uint32_t folder;    // index of the folder path that holds it
    std::uint32_t device;    // index of its device
    Kind kind;
    Fate fate = Fate::open;
    bool done = false;       // this stage's read has finished
    bool physicalKnown = false;
    bool headKnown = false;  // the first stage's digest was read during the walk
    bool verified = false;
};

// verify: files confirmed by a head read during the walk are checked to be still the files
// the walk saw, unchanged, as every other file is by its reads in the pass.
enum class Stage { head, tail, whole, verify, resourceFork };

// Hands a stage's files to the readers in batches. Each device is one lane, in locality
// order; a lane with a limit of one is read by one thread at a time.
class TWReadQueue {
public:
    struct Lane {
        std::vector<std::uint32_t> items;
        std::size_t next = 0;
        unsigned active = 0;
        unsigned limit = 1;
    };
    static constexpr std::size_t kNoLane = static_cast<std::size_t>(-1);
    static constexpr std::size_t kBatch = 16;

    explicit TWReadQueue(std::vector<Lane> lanes) : lanes_(std::move(lanes)) {}

    // The next batch for a reader that holds lane `held` (kNoLane at first); empty when
    // nothing is left for it.
    std::span<const std::uint32_t> take(std::size_t& held) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (held != kNoLane) {
            if (lanes_[held].next < lanes_[held].items.size())
                return batchOf(lanes_[held]);
            --lanes_[held].active;
            held = kNoLane;
        }
        for (std::size_t i = 0; i < lanes_.size(); ++i) {
            std::size_t index = (i + start_) % lanes_.size();
            Lane& lane = lanes_[index];
            if (lane.next < lane.items.size() && lane.active < lane.limit) {
                held = index;
                ++lane.active;
                ++start_; // spread the readers over the devices
                return batchOf(lane);
            }
        }
        return {};
    }

private:
    static std::span<const std::uint32_t> batchOf(Lane& lane) {
        std::size_t count = std::min(kBatch, lane.items.size() - lane.next);
        std::span<const std::uint32_t> batch(lane.items.data() + lane.next, count);
        lane.next += count;
        return batch;
    }

    std::mutex mutex_;
    std::vector<Lane> lanes_;
    std::size_t start_ = 0;
};

// One reader's open folder: consecutive files of one folder are opened relative to it, which
// spares the kernel the lookup of the whole path each time.
class TWFolderHandle {
public:
    TWItemLocation locate(const std::vector<std::string>& folders, std::uint32_t folder,
                          const std::string& name) {
        if (folder != folder_) {
            fd_.reset(::open(folders[folder].c_str(),
                              O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            folder_ = folder;
        }
        return {fd_ ? fd_.get() : -1, name.c_str()};
    }

private:
    std::uint32_t folder_ = static_cast<std::uint32_t>(-1);
    TWFileDescriptor fd_;
};

class TWContentsPass {
public:
    // Gets the number of settled candidates and the total; false asks the pass to stop.
    using Checkpoint = std::function<bool(std::size_t settled, std::size_t total)>;

    TWContentsPass(const TWContentsPassOptions& options, Checkpoint checkpoint)
        : options_(options), checkpoint_(std::move(checkpoint)) {}

    // Adds the files of one walk group. Kinds never share a digest, so each kind starts a
    // class of its own.
    void addGroup(const TWDuplicateGroup& group) {
        const std::uint32_t first = nextClassId_;
        nextClassId_ += 4;
        for (const TWFileSystemPathRef& node : group.fsNodes()) {
            Candidate c{};
            c.node = node.get();
            c.kind = TWNodeContents::kindOf(*node);
            c.classId = first + static_cast<std::uint32_t>(c.kind);
            if (c.kind == Kind::none) {
                c.fate = Fate::dropped; // FIFOs, sockets and devices are never opened
                ++settledAtStart_;
            } else {
                const TWStatSnapshot& seen = *node->seenStat();
                c.size = seen.size;
                c.order = seen.identity.inode;
                c.device = indexOf(devices_, deviceIndex_, seen.identity.device);
                std::string folder = node->parentPath();
                c.folder = indexOf(folders_, folderIndex_, folder);
            }
            candidates_.push_back(c);
        }
    }

    // Takes the head digests read during the walk (sorted by node address): the first stage
    // leaves those files out.
    template <typename Heads> void adoptHeads(const Heads& heads) {
        using Head = typename Heads::value_type;
        if (heads.empty())
            return;
        for (Candidate& c : candidates_) {
            if (c.kind != Kind::regularFile || c.fate != Fate::open)
                continue;
            auto found = std::lower_bound(
                heads.begin(), heads.end(), c.node,
                [](const Head& head, const TWFileSystemPath* node) { return head.node < node; });
            if (found != heads.end() && found->node == c.node) {
                c.digest = found->digest;
                c.headKnown = true;
            }
        }
    }

    void reserve(std::size_t files) { candidates_.reserve(files); }
    std::size_t size() const { return candidates_.size(); }
    const std::vector<Candidate>& candidates() const { return candidates_; }
    const std::optional<TWContentsDigest>& forkDigest(std::size_t i) const { return forks_[i]; }

    // Runs the stages; afterwards each candidate is confirmed (with its digests) or dropped.
    // Returns false when the pass was stopped: then only candidates whose whole contents were
    // read and matched a partner's are confirmed.
    bool run(bool examineResourceForks) {
        settled_ = settledAtStart_;
        folderIndex_.clear();
        deviceIndex_.clear();
        dropLoners();
        bool finished = runStage(Stage::head) && runStage(Stage::verify) &&
                        runStage(Stage::tail) && runStage(Stage::whole);
        if (!finished)
            for (Candidate& c : candidates_)
                if (c.fate == Fate::confirmed && needsVerifying(c))
                    c.fate = Fate::dropped; // read during the walk and not checked since
        if (!finished)
            dropOpen();
        if (examineResourceForks) {
            forks_.resize(candidates_.size());
            finished = finished && runStage(Stage::resourceFork);
            for (std::size_t i = 0; i < candidates_.size(); ++i)
                if (candidates_[i].fate == Fate::confirmed && !forks_[i] &&
                    candidates_[i].node->resourceForkSize() > 0)
                    candidates_[i].fate = Fate::dropped;
        }
        return finished;
    }

    // Ends a pass that is not to run: nothing is confirmed.
    void dropOpen() {
        for (Candidate& c : candidates_)
            if (c.fate == Fate::open)
                c.fate = Fate::dropped;
    }

private:
    template <typename Key>
    static std::uint32_t indexOf(std::vector<Key>& table,
                                 std::unordered_map<Key, std::uint32_t>& index, const Key& key) {
        auto [entry, isNew] = index.try_emplace(key, static_cast<std::uint32_t>(table.size()));
        if (isNew)
            table.push_back(key);
        return entry->second;
    }

    // A file confirmed by its head read during the walk, not yet checked since.
    static bool needsVerifying(const Candidate& c) {
        return c.headKnown && c.size <= TWNodeContents::kEdgeBytes && !c.verified;
    }

    // Whether the candidate takes part in the stage. Called by the worker thread only (it
    // may ask the node for its resource fork).
    bool takesPart(const Candidate& c, Stage stage) const {
        if (stage == Stage::resourceFork)
            return c.fate == Fate::confirmed && c.node->resourceForkSize() > 0;
        if (stage == Stage::verify)
            return c.fate == Fate::confirmed && needsVerifying(c);
        if (c.fate != Fate::open)
            return false;
        switch (stage) {
        case Stage::head:
            return c.kind == Kind::regularFile;
        case Stage::tail:
            return c.kind == Kind::regularFile && c.size > TWNodeContents::kEdgeBytes;
        case Stage::whole:
            return c.kind != Kind::regularFile || c.size > TWNodeContents::kEdgeBytes;
        case Stage::verify:
        case Stage::resourceFork:
            break;
        }
        return false;
    }

    // Whether the digest a stage gives a candidate is its whole-contents digest.
    static bool isFinal(const Candidate& c, Stage stage) {
        return stage == Stage::whole ||
               (stage == Stage::head && c.size <= TWNodeContents::kEdgeBytes);
    }

    void settle(std::size_t count) { settled_.fetch_add(count, std::memory_order_relaxed); }

    // A class of one has no partner left.
    void dropLoners() {
        std::unordered_map<std::uint32_t, std::uint32_t> sizes;
        for (const Candidate& c : candidates_)
            if (c.fate == Fate::open)
                ++sizes[c.classId];
        std::size_t dropped = 0;
        for (Candidate& c : candidates_)
            if (c.fate == Fate::open && sizes[c.classId] < 2) {
                c.fate = Fate::dropped;
                ++dropped;
            }
        settle(dropped);
    }

    bool isSpinning(std::uint64_t device) {
        auto known = spinning_.find(device);
        if (known == spinning_.end())
            known = spinning_.emplace(device, isSpinningDisk(device)).first;
        return known->second;
    }

    unsigned readerCount() const {
        return std::max(1u, options_.readers ? options_.readers : defaultReaderCount());
    }

    TWReadQueue makeQueue(const std::vector<std::uint32_t>& work) {
        std::map<std::uint32_t, TWReadQueue::Lane> byDevice;
        for (std::uint32_t i : work)
            byDevice[candidates_[i].device].items.push_back(i);
        std::vector<TWReadQueue::Lane> lanes;
        for (auto& [device, lane] : byDevice) {
            auto key = [&](std::uint32_t i) {
                const Candidate& c = candidates_[i];
                switch (options_.order) {
                case TWContentsReadOrder::folder:
                    return std::tuple<std::uint32_t, std::uint64_t, std::uint32_t>(c.folder, c.order, i);
                case TWContentsReadOrder::inode:
                case TWContentsReadOrder::physical:
                    return std::tuple<std::uint32_t, std::uint64_t, std::uint32_t>(
                        c.physicalKnown ? 0 : 1, c.order, i);
                case TWContentsReadOrder::listing:
                    break;
                }
                return std::tuple<std::uint32_t, std::uint64_t, std::uint32_t>(0, 0, i);
            };
            std::sort(lane.items.begin(), lane.items.end(),
                      [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
            lane.limit = readerCount();
            if (options_.singleReaderOnRotational && isSpinning(devices_[device]))
                lane.limit = 1;
            lanes.push_back(std::move(lane));
        }
        return TWReadQueue(std::move(lanes));
    }

    void readOne(std::uint32_t index, Stage stage, TWContentsReader& reader,
                 TWFolderHandle& folder) {
        Candidate& c = candidates_[index];
        if (stage == Stage::resourceFork) {
            forks_[index] = TWNodeContents::resourceForkDigest(*c.node);
            return;
        }
        TWItemLocation item = folder.locate(folders_, c.folder, c.node->lastPathComponent());
        if (stage == Stage::verify) {
            const TWStatSnapshot& seen = *c.node->seenStat();
            auto now = TWStatSnapshot::of(item);
            if (now && now->identity == seen.identity && now->size == seen.size &&
                now->modified == seen.modified && now->mode == seen.mode)
                c.verified = true;
            else
                c.fate = Fate::dropped;
            return;
        }
        auto keepGoing = [this] { return !cancelled_.load(std::memory_order_relaxed); };
        std::optional<TWContentsDigest> digest;
        switch (stage) {
        case Stage::head: {
            std::optional<std::uint64_t> physical;
            const bool wantPhysical = options_.order == TWContentsReadOrder::physical;
            digest = TWNodeContents::headDigest(*c.node, item, reader,
                                                wantPhysical ? &physical : nullptr);
            if (physical) {
                c.order = *physical;
                c.physicalKnown = true;
            }
            break;
        }
        case Stage::tail:
            digest = TWNodeContents::tailDigest(*c.node, item, reader);
            break;
        case Stage::whole:
            digest = TWNodeContents::contentsDigest(*c.node, item, reader, keepGoing);
            break;
        case Stage::verify:
        case Stage::resourceFork:
            break;
        }
        if (digest) {
            c.digest = *digest;
            c.done = true;
            if (isFinal(c, stage))
                settle(1);
        } else if (!cancelled_.load(std::memory_order_relaxed)) {
            c.fate = Fate::dropped; // unreadable, gone or changed since the walk
            settle(1);
        }
    }

    bool runStage(Stage stage) {
        std::vector<std::uint32_t> work;
        std::vector<std::uint32_t> toRead;
        for (std::uint32_t i = 0; i < candidates_.size(); ++i) {
            Candidate& c = candidates_[i];
            if (!takesPart(c, stage))
                continue;
            work.push_back(i);
            c.done = stage == Stage::head && c.headKnown;
            if (c.done && isFinal(c, stage))
                settle(1);
            if (!c.done)
                toRead.push_back(i);
        }
        if (work.empty())
            return true;
        if (toRead.empty()) {
            split(work, stage, false);
            return true;
        }
        TWReadQueue queue = makeQueue(toRead);

        std::mutex mutex;
        std::condition_variable allDone;
        const unsigned readers = std::min<std::size_t>(readerCount(), toRead.size());
        unsigned running = readers;
        std::vector<std::thread> threads;
        for (unsigned r = 0; r < readers; ++r) {
            threads.emplace_back([&] {
                TWContentsReader reader(options_.bufferSize);
                TWFolderHandle folder;
                std::size_t held = TWReadQueue::kNoLane;
                while (!cancelled_.load(std::memory_order_relaxed)) {
                    std::span<const std::uint32_t> batch = queue.take(held);
                    if (batch.empty())
                        break;
                    for (std::uint32_t item : batch)
                        if (!cancelled_.load(std::memory_order_relaxed))
                            readOne(item, stage, reader, folder);
                }
                std::lock_guard<std::mutex> guard(mutex);
                if (--running == 0)
                    allDone.notify_one();
            });
        }
        bool stopped = false;
        {
            std::unique_lock<std::mutex> lock(mutex);
            while (running > 0) {
                allDone.wait_for(lock, std::chrono::milliseconds(20));
                if (running == 0 || stopped)
                    continue;
                lock.unlock();
                if (!checkpoint_(settled_.load(std::memory_order_relaxed), candidates_.size())) {
                    stopped = true;
                    cancelled_.store(true, std::memory_order_relaxed);
                }
                lock.lock();
            }
        }
        for (std::thread& thread : threads)
            thread.join();
        if (stage != Stage::resourceFork && stage != Stage::verify)
            split(work, stage, stopped);
        return !stopped;
    }

    // Splits each class by the stage's digest. After a stop only the reads that finished
    // count; the others drop out.
    void split(std::vector<std::uint32_t>& work, Stage stage, bool stopped) {
        std::erase_if(work, [&](std::uint32_t i) {
            Candidate& c = candidates_[i];
            if (c.fate == Fate::open && !c.done)
                c.fate = Fate::dropped;
            return c.fate != Fate::open;
        });
        auto less = [&](std::uint32_t a, std::uint32_t b) {
            const Candidate& x = candidates_[a];
            const Candidate& y = candidates_[b];
            return std::tie(x.classId, x.digest.high, x.digest.low, a) <
                   std::tie(y.classId, y.digest.high, y.digest.low, b);
        };
        std::sort(work.begin(), work.end(), less);
        std::size_t droppedNow = 0;
        for (std::size_t start = 0; start < work.size();) {
            const Candidate& first = candidates_[work[start]];
            std::size_t end = start + 1;
            while (end < work.size() && candidates_[work[end]].classId == first.classId &&
                   candidates_[work[end]].digest == first.digest)
                ++end;
            const std::uint32_t id = nextClassId_++;
            for (std::size_t k = start; k < end; ++k) {
                Candidate& c = candidates_[work[k]];
                c.classId = id;
                if (end - start < 2) {
                    c.fate = Fate::dropped;
                    if (!isFinal(c, stage))
                        ++droppedNow;
                } else if (isFinal(c, stage)) {
                    c.fate = Fate::confirmed;
                } else if (stopped) {
                    c.fate = Fate::dropped;
                }
            }
            start = end;
        }
        settle(droppedNow);
    }

    TWContentsPassOptions options_;
    Checkpoint checkpoint_;
    std::vector<Candidate> candidates_;
    std::vector<std::optional<TWContentsDigest>> forks_; // by candidate, when forks count
    std::vector<std::string> folders_;
    std::unordered_map<std::string, std::uint32_t> folderIndex_;
    std::vector<std::uint64_t> devices_;
    std::unordered_map<std::uint64_t, std::uint32_t> deviceIndex_;
    std::unordered_map<std::uint64_t, bool> spinning_;
    std::size_t settledAtStart_ = 0;
    std::atomic<std::size_t> settled_{0};
    std::atomic<bool> cancelled_{false};
    std::uint32_t nextClassId_ = 0;
};

} // namespace

// Reads the heads of candidates while the walk is still going on, on one thread of its own,
// so that the walk and the first stage share the processors instead of taking turns. Only
// files that already have a partner of their size are offered, so nothing is read that the
// first stage would not read anyway. A read that fails is left to the pass.
class TWHeadPrefetch {
public:
    struct Result {
        const TWFileSystemPath* node;
        TWContentsDigest digest;
    };

    // With `spareSpinningDisks`, files on a spinning disk are left to the pass, whose single
    // reader there would otherwise compete with the walk for the disk's head.
    explicit TWHeadPrefetch(bool spareSpinningDisks)
        : spareSpinningDisks_(spareSpinningDisks), thread_([this] { run(); }) {}
    ~TWHeadPrefetch() { finish(); }

    // Walk side: the node's folder path and name are read here, never by the reading thread.
    void offer(const TWFileSystemPath& node) {
        const auto& seen = node.seenStat();
        if (!seen || !seen->isRegularFile())
            return;
        if (spareSpinningDisks_) {
            auto known = spinning_.find(seen->identity.device);
            if (known == spinning_.end())
                known = spinning_.emplace(seen->identity.device,
                                          isSpinningDisk(seen->identity.device)).first;
            if (known->second)
                return;
        }
        std::string folder = node.parentPath();
        std::lock_guard<std::mutex> guard(mutex_);
        // A group's first file often lies in a folder met long before: each folder's path is
        // kept once.
        if (!lastFolder_ || *lastFolder_ != folder) {
            auto [known, isNew] = folderIndex_.try_emplace(folder, nullptr);
            if (isNew) {
                folders_.push_back(std::move(folder));
                known->second = &folders_.back();
            }
            lastFolder_ = known->second;
        }
        queue_.push_back({&node, lastFolder_});
        if (queue_.size() == 1)
            wake_.notify_one();
    }

    // Stops reading (what was not read yet is left to the pass) and hands over the digests,
    // in the order of their nodes' addresses.
    std::deque<Result> finish() {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stopping_ = true;
            wake_.notify_one();
        }
        if (thread_.joinable())
            thread_.join();
        std::sort(results_.begin(), results_.end(),
                  [](const Result& a, const Result& b) { return a.node < b.node; });
        return std::move(results_);
    }

private:
    struct Item {
        const TWFileSystemPath* node;
        const std::string* folder; // a deque element: stays where it is
    };

    void run() {
        TWContentsReader reader(TWNodeContents::kEdgeBytes);
        std::vector<Item> batch;
        const std::string* openFolder = nullptr;
        TWFileDescriptor folderFd;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
                if (stopping_)
                    return;
                batch.assign(queue_.begin(), queue_.end());
                queue_.clear();
            }
            for (const Item& item : batch) {
                if (item.folder != openFolder) {
                    folderFd.reset(::open(item.folder->c_str(),
                                           O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
                    openFolder = item.folder;
                }
                TWItemLocation at{folderFd ? folderFd.get() : -1,
                                  item.node->lastPathComponent().c_str()};
                if (auto digest = TWNodeContents::headDigest(*item.node, at, reader))
                    results_.push_back({item.node, *digest});
                if (stopping_.load(std::memory_order_relaxed))
                    return;
            }
        }
    }

    const bool spareSpinningDisks_;
    std::unordered_map<std::uint64_t, bool> spinning_; // walk side
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Item> queue_;
    std::deque<std::string> folders_;
    std::unordered_map<std::string, const std::string*> folderIndex_; // walk side
    const std::string* lastFolder_ = nullptr;                          // walk side
    std::atomic<bool> stopping_{false};
    std::deque<Result> results_; // the reading thread's until it has ended; grows without copies
    std::thread thread_;
};

void TWSearchController::noteContentsCandidate(const TWFileSystemPathRef& node) {
    // A single reader was asked for: the walk's reads are then the only others.
    if (!settings_.matchContents || inContentsMatch_ || contentsPassOptions_.readers == 1)
        return;
    if (!headPrefetch_)
        headPrefetch_ =
            std::make_shared<TWHeadPrefetch>(contentsPassOptions_.singleReaderOnRotational);
    headPrefetch_->offer(*node);
}

unsigned defaultReaderCount() {
    // With the page cache dropped, reading is bound by the device's queue, which keeps
    // getting faster up to about eight reads in flight on our disks; with a warm cache it is
    // bound by the processors, and more readers than cores cost little. See bench/README.md.
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp(4 * cores, 4u, 8u);
}

void TWSearchController::doContentsSweeping() {
    // A stop that came during the walk ended the walk; only a new one ends the pass.
    const bool stopBeforePass = finishedSearch();
    inContentsMatch_ = true;
    postStatus({TWStatusFormat::kFindingContentMatches, {}});

    // The walk's entries lack the contents components, so no key of this pass meets them;
    // letting them go now frees the files that were never candidates before the pass needs
    // memory of its own.
    sweeper_.clear();
    std::vector<TWDuplicateGroupRef> walkGroups = std::move(tmpDupArray_);
    tmpDupArray_.clear();

    // Same pacing as the walk: the walk's next check time, then every 12 ticks.
    auto checkpoint = [this, stopBeforePass](std::size_t settled, std::size_t count) {
        std::uint64_t now = clock_();
        if (!(nextCheckTime_ < now))
            return true;
        if (!stopBeforePass && finishedSearch())
            return false;
        postStatus({TWStatusFormat::kCheckingFile,
                    {static_cast<std::int64_t>(std::min(settled + 1, count)),
                     static_cast<std::int64_t>(count)}});
        nextCheckTime_ = now + 12;
        return true;
    };

    std::deque<TWHeadPrefetch::Result> heads;
    if (headPrefetch_) {
        heads = headPrefetch_->finish();
        headPrefetch_.reset();
    }
    TWContentsPass pass(contentsPassOptions_, checkpoint);
    std::size_t files = 0;
    for (const TWDuplicateGroupRef& group : walkGroups)
        files += group->count();
    pass.reserve(files);
    for (const TWDuplicateGroupRef& group : walkGroups)
        pass.addGroup(*group);
    pass.adoptHeads(heads);
    heads = {};
    if (pass.size() == 0 || checkpoint(0, pass.size()))
        pass.run(settings_.matchResourceFork);
    else
        pass.dropOpen();

    // Re-key in the walk's order, group by group. A key that an earlier walk group already
    // filed means the file's other attributes changed since the walk; it is left out rather
    // than joined to files it was never a candidate with.
    std::size_t index = 0;
    std::unordered_set<std::string> keysOfGroup;
    for (const TWDuplicateGroupRef& group : walkGroups) {
        keysOfGroup.clear();
        for (const TWFileSystemPathRef& node : group->fsNodes()) {
            const std::size_t i = index++;
            const Candidate& c = pass.candidates()[i];
            if (c.fate != Fate::confirmed)
                continue;
            contentsKeyNode_ = node.get();
            contentsKeyDigests_ = {c.digest, settings_.matchResourceFork
                                                 ? pass.forkDigest(i)
                                                 : std::optional<TWContentsDigest>()};
            std::string key = allocedKeyForPath(*node);
            contentsKeyNode_ = nullptr;
            if (key.empty())
                continue;
            auto [entry, first] = sweeper_.try_emplace(key, node);
            if (first) {
                keysOfGroup.insert(std::move(key));
                continue;
            }
            if (!keysOfGroup.contains(key))
                continue;
            // Filed as the walk files, without touching the walk's counters.
            if (auto* single = std::get_if<TWFileSystemPathRef>(&entry->second)) {
                auto made = TWDuplicateGroup::groupWithNode(std::move(*single));
                entry->second = made;
                tmpDupArray_.push_back(made);
            }
            std::get<TWDuplicateGroupRef>(entry->second)->addNode(node);
        }
    }
    inContentsMatch_ = false;
}

void TWSearchController::appendContentsComponents(std::string& key, TWFileSystemPath& node,
                                                  std::uint64_t resourceForkSize) const {
    if (&node != contentsKeyNode_) {
        key += "c=-"; // no digest: a marker no digest gives
        return;
    }
    key += "c=";
    key += contentsKeyDigests_.contents.hex();
    if (settings_.matchResourceFork && resourceForkSize != 0) {
        key += "rc=";
        key += contentsKeyDigests_.resourceFork ? contentsKeyDigests_.resourceFork->hex() : "-";
    }
}
