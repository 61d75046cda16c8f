#include "engine/TWSearchController.h"

#include "model/TWContentsDigest.h"
#include "platform/TWContentsReader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

// The contents pass, on the search's worker thread right after the walk. The walk's groups
// are candidates: files that agree on every other criterion and on their size. The pass
// splits each candidate group by stages of rising cost: a digest of the first 4 KiB, then of
// the last 4 KiB, then of everything, so that a file is read whole only while it still has a
// partner. A file that cannot be read to its end drops out. The survivors are keyed again
// with their digests and filed in the key map, which makes the final groups.
//
// Reading is shared by a few reader threads, each with its own buffer, over the files of a
// stage ordered for locality. The worker thread reads nothing itself: it keeps the progress
// line and the stop flag to their usual pace while the readers work.

namespace {

using TWNodeContents::Kind;

enum class Fate : std::uint8_t { open, dropped, confirmed };

struct Candidate {
    TWFileSystemPath* node;
    Kind kind;
    std::uint64_t size;
    std::uint64_t device;
    std::uint64_t inode;
    std::optional<std::uint64_t> physicalOffset; // learnt by the first stage
    std::uint32_t classId;                       // equal ids: not yet told apart
    Fate fate = Fate::open;
    bool done = false; // this stage's read has finished
    std::optional<TWContentsDigest> digest;      // the latest stage's
    std::optional<TWContentsDigest> forkDigest;
};

enum class Stage { head, tail, whole, resourceFork };

struct ClassKey {
    std::uint32_t classId;
    TWContentsDigest digest;
    bool operator==(const ClassKey&) const = default;
};

struct ClassKeyHash {
    std::size_t operator()(const ClassKey& key) const noexcept {
        return std::hash<TWContentsDigest>()(key.digest) ^ (key.classId * 0x9E3779B97F4A7C15ull);
    }
};

// How a stage spreads its files over the readers. Files of one device are handed out in
// locality order; a device that allows a single reader is read by one thread at a time.
class TWReadQueue {
public:
    struct Lane {
        std::vector<std::uint32_t> items;
        std::size_t next = 0;
        unsigned active = 0;
        unsigned limit = 1;
    };

    explicit TWReadQueue(std::vector<Lane> lanes) : lanes_(std::move(lanes)) {}

    // The next candidate for a reader and its lane; false when nothing is left for it.
    bool take(std::uint32_t& item, std::size_t& lane, std::size_t& held) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (held != kNoLane && lanes_[held].next < lanes_[held].items.size()) {
            item = lanes_[held].items[lanes_[held].next++];
            lane = held;
            return true;
        }
        if (held != kNoLane)
            --lanes_[held].active;
        held = kNoLane;
        for (std::size_t i = 0; i < lanes_.size(); ++i) {
            Lane& candidate = lanes_[(i + start_) % lanes_.size()];
            if (candidate.next < candidate.items.size() && candidate.active < candidate.limit) {
                held = (i + start_) % lanes_.size();
                ++candidate.active;
                item = candidate.items[candidate.next++];
                lane = held;
                ++start_; // spread the readers over the devices
                return true;
            }
        }
        return false;
    }

    static constexpr std::size_t kNoLane = static_cast<std::size_t>(-1);

private:
    std::mutex mutex_;
    std::vector<Lane> lanes_;
    std::size_t start_ = 0;
};

class TWContentsPass {
public:
    // Gets the number of settled candidates and the total; false asks the pass to stop.
    using Checkpoint = std::function<bool(std::size_t settled, std::size_t total)>;

    TWContentsPass(std::vector<Candidate> candidates, const TWContentsPassOptions& options,
                   Checkpoint checkpoint)
        : candidates_(std::move(candidates)), options_(options),
          checkpoint_(std::move(checkpoint)) {
        std::uint32_t largest = 0;
        for (const Candidate& c : candidates_) {
            largest = std::max(largest, c.classId);
            if (c.fate != Fate::open)
                settle(1);
        }
        nextClassId_ = largest + 1;
    }

    // Runs the stages; afterwards each candidate's fate is confirmed (with its digests) or
    // dropped. Returns false when the pass was stopped: only candidates whose whole contents
    // were read and matched are confirmed then.
    bool run(bool examineResourceForks) {
        dropLoners();
        if (!runStage(Stage::head) || !runStage(Stage::tail) || !runStage(Stage::whole)) {
            dropOpen();
            if (examineResourceForks)
                dropUnreadForks();
            return false;
        }
        if (examineResourceForks && !runStage(Stage::resourceFork)) {
            dropUnreadForks();
            return false;
        }
        return true;
    }

    const std::vector<Candidate>& candidates() const { return candidates_; }

    // Ends a pass that is not to run: nothing is confirmed.
    void dropOpen() {
        for (Candidate& c : candidates_)
            if (c.fate == Fate::open)
                c.fate = Fate::dropped;
    }

private:
    // Whether the candidate takes part in the stage.
    static bool takesPart(const Candidate& c, Stage stage) {
        if (stage == Stage::resourceFork)
            return c.fate == Fate::confirmed && c.node->resourceForkSize() > 0;
        if (c.fate != Fate::open)
            return false;
        switch (stage) {
        case Stage::head:
            return c.kind == Kind::regularFile;
        case Stage::tail:
            return c.kind == Kind::regularFile && c.size > TWNodeContents::kEdgeBytes;
        case Stage::whole:
            return c.kind != Kind::regularFile || c.size > TWNodeContents::kEdgeBytes;
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

    void dropUnreadForks() {
        for (Candidate& c : candidates_)
            if (c.fate == Fate::confirmed && !c.forkDigest && c.node->resourceForkSize() > 0)
                c.fate = Fate::dropped;
    }

    unsigned readerCount() const {
        return std::max(1u, options_.readers ? options_.readers : defaultReaderCount());
    }

    TWReadQueue makeQueue(Stage stage) {
        std::map<std::uint64_t, TWReadQueue::Lane> byDevice;
        for (std::uint32_t i = 0; i < candidates_.size(); ++i)
            if (takesPart(candidates_[i], stage))
                byDevice[candidates_[i].device].items.push_back(i);
        std::vector<TWReadQueue::Lane> lanes;
        for (auto& [device, lane] : byDevice) {
            auto key = [&](std::uint32_t i) {
                const Candidate& c = candidates_[i];
                if (options_.order == TWContentsReadOrder::physical && c.physicalOffset)
                    return std::pair<std::uint64_t, std::uint64_t>(0, *c.physicalOffset);
                return std::pair<std::uint64_t, std::uint64_t>(1, c.inode);
            };
            if (options_.order != TWContentsReadOrder::listing)
                std::stable_sort(lane.items.begin(), lane.items.end(),
                                 [&](std::uint32_t a, std::uint32_t b) { return key(a) < key(b); });
            lane.limit = readerCount();
            if (options_.singleReaderOnRotational) {
                auto rotational = rotationalCache_.find(device);
                if (rotational == rotationalCache_.end())
                    rotational = rotationalCache_.emplace(device, isRotationalDevice(device)).first;
                if (rotational->second.value_or(false))
                    lane.limit = 1;
            }
            lanes.push_back(std::move(lane));
        }
        return TWReadQueue(std::move(lanes));
    }

    void readOne(Candidate& c, Stage stage, TWContentsReader& reader) {
        auto keepGoing = [this] { return !cancelled_.load(std::memory_order_relaxed); };
        switch (stage) {
        case Stage::head:
            c.digest = TWNodeContents::headDigest(
                *c.node, reader,
                options_.order == TWContentsReadOrder::physical ? &c.physicalOffset : nullptr);
            break;
        case Stage::tail:
            c.digest = TWNodeContents::tailDigest(*c.node, reader);
            break;
        case Stage::whole:
            c.digest = TWNodeContents::contentsDigest(*c.node, reader, keepGoing);
            break;
        case Stage::resourceFork:
            c.forkDigest = TWNodeContents::resourceForkDigest(*c.node);
            if (!c.forkDigest)
                c.fate = Fate::dropped;
            return;
        }
        if (!c.digest) {
            if (!cancelled_.load(std::memory_order_relaxed))
                c.fate = Fate::dropped; // unreadable, gone or changed since the walk
            settle(1);
        } else if (isFinal(c, stage)) {
            settle(1);
        }
    }

    bool runStage(Stage stage) {
        TWReadQueue queue = makeQueue(stage);
        for (Candidate& c : candidates_)
            c.done = false;
        std::mutex mutex;
        std::condition_variable allDone;
        unsigned running = readerCount();
        std::vector<std::thread> readers;
        for (unsigned r = 0; r < readerCount(); ++r) {
            readers.emplace_back([&] {
                TWContentsReader reader(options_.bufferSize);
                std::uint32_t item = 0;
                std::size_t lane = 0;
                std::size_t held = TWReadQueue::kNoLane;
                while (!cancelled_.load(std::memory_order_relaxed) &&
                       queue.take(item, lane, held)) {
                    readOne(candidates_[item], stage, reader);
                    candidates_[item].done = !cancelled_.load(std::memory_order_relaxed);
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
        for (std::thread& reader : readers)
            reader.join();
        if (stage == Stage::resourceFork)
            return !stopped;

        // Split each class by the stage's digest. After a stop only the reads that finished
        // count; the others are left out.
        std::unordered_map<ClassKey, std::uint32_t, ClassKeyHash> newIds;
        std::unordered_map<std::uint32_t, std::uint32_t> classSizes;
        for (Candidate& c : candidates_) {
            if (!takesPart(c, stage))
                continue;
            if (stopped && !c.done) {
                c.fate = Fate::dropped;
                continue;
            }
            auto [entry, isNew] =
                newIds.try_emplace(ClassKey{c.classId, *c.digest}, nextClassId_);
            if (isNew)
                ++nextClassId_;
            c.classId = entry->second;
            ++classSizes[c.classId];
        }
        std::size_t droppedNow = 0;
        for (Candidate& c : candidates_) {
            if (!takesPart(c, stage))
                continue;
            if (classSizes[c.classId] < 2) {
                c.fate = Fate::dropped;
                if (!isFinal(c, stage))
                    ++droppedNow;
            } else if (isFinal(c, stage)) {
                c.fate = Fate::confirmed;
            } else if (stopped) {
                c.fate = Fate::dropped;
            }
        }
        settle(droppedNow);
        return !stopped;
    }

    std::vector<Candidate> candidates_;
    TWContentsPassOptions options_;
    Checkpoint checkpoint_;
    std::atomic<std::size_t> settled_{0};
    std::atomic<bool> cancelled_{false};
    std::uint32_t nextClassId_ = 0;
    std::unordered_map<std::uint64_t, std::optional<bool>> rotationalCache_;

};

} // namespace

unsigned defaultReaderCount() {
    // Reading is bound by the processor with a warm cache (system calls and hashing) and by
    // the device's queue with a cold one; two readers per core covers both here.
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(4u, std::max(2u, cores));
}

void TWSearchController::doContentsSweeping() {
    inContentsMatch_ = true;
    postStatus({TWStatusFormat::kFindingContentMatches, {}});

    std::vector<TWDuplicateGroupRef> walkGroups = std::move(tmpDupArray_);
    tmpDupArray_.clear();
    tmpDupArray_.reserve(walkGroups.size());

    // Kinds never share a digest, so each walk group is split by kind from the start.
    std::vector<Candidate> candidates;
    candidates.reserve(walkGroups.size() * 2);
    std::uint32_t classId = 0;
    for (const TWDuplicateGroupRef& group : walkGroups) {
        std::uint32_t firstOfGroup = classId;
        for (const TWFileSystemPathRef& node : group->fsNodes()) {
            Kind kind = TWNodeContents::kindOf(*node);
            const auto& seen = node->seenStat();
            Candidate c{};
            c.node = node.get();
            c.kind = kind;
            c.size = seen ? seen->size : 0;
            c.device = seen ? seen->identity.device : 0;
            c.inode = seen ? seen->identity.inode : 0;
            c.classId = firstOfGroup + static_cast<std::uint32_t>(kind);
            if (kind == Kind::none)
                c.fate = Fate::dropped; // FIFOs, sockets and devices are never opened
            candidates.push_back(c);
        }
        classId += 4;
    }

    const std::size_t total = candidates.size();
    const bool stopBeforePass = finishedSearch();
    // Same pacing as the walk: the walk's next check time, then every 12 ticks. A stop that
    // came during the walk has been honoured by the walk; only a new one ends the pass.
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
    bool finished = total == 0 || checkpoint(0, total);

    TWContentsPass pass(std::move(candidates), contentsPassOptions_, checkpoint);
    if (finished)
        pass.run(settings_.matchResourceFork);
    else
        pass.dropOpen();

    for (const Candidate& c : pass.candidates())
        if (c.fate == Fate::confirmed)
            contentsDigests_[c.node] = {*c.digest, c.forkDigest};

    // Re-key in the walk's order, group by group. A key met before under another walk group
    // means the file's other attributes changed since the walk; it is left out rather than
    // joined to files it was never a candidate with.
    std::size_t index = 0;
    std::unordered_map<std::string, std::size_t> keyGroup;
    for (std::size_t g = 0; g < walkGroups.size(); ++g) {
        for (const TWFileSystemPathRef& node : walkGroups[g]->fsNodes()) {
            const Candidate& c = pass.candidates()[index++];
            if (c.fate != Fate::confirmed)
                continue;
            std::string key = allocedKeyForPath(*node);
            if (key.empty())
                continue;
            auto [owner, isNew] = keyGroup.try_emplace(key, g);
            if (!isNew && owner->second != g)
                continue;
            // Filed as the walk files, without touching the walk's counters.
            auto [entry, first] = sweeper_.try_emplace(std::move(key), node);
            if (first)
                continue;
            if (auto* single = std::get_if<TWFileSystemPathRef>(&entry->second)) {
                auto made = TWDuplicateGroup::groupWithNode(std::move(*single));
                entry->second = made;
                tmpDupArray_.push_back(made);
            }
            std::get<TWDuplicateGroupRef>(entry->second)->addNode(node);
        }
    }
    contentsDigests_.clear();
    inContentsMatch_ = false;
}

void TWSearchController::appendContentsComponents(std::string& key, TWFileSystemPath& node,
                                                  std::uint64_t resourceForkSize) const {
    auto found = contentsDigests_.find(&node);
    if (found == contentsDigests_.end()) {
        key += "c=-"; // no digest: a marker no digest gives
        return;
    }
    key += "c=";
    key += found->second.contents.hex();
    if (settings_.matchResourceFork && resourceForkSize != 0) {
        key += "rc=";
        key += found->second.resourceFork ? found->second.resourceFork->hex() : "-";
    }
}
