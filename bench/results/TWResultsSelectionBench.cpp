// Times the results window's selection commands on 100,000 files in 20,000 groups, every
// group selected, each command followed by the repaint it causes:
//   results_selection_bench [--on-disk]
// With --on-disk the files exist (empty, in a temporary folder), so choosing the newest copy
// asks the file system for every member's date; otherwise the nodes name paths that do not
// exist. Prints the median and the worst of five runs per command, in milliseconds.
#include "model/TWGroupOfGroups.h"
#include "platform/TWTrash.h"
#include "results/TWFileCommands.h"
#include "results/TWFilesSelectionModel.h"
#include "results/TWFilesTableModel.h"
#include "results/TWImageTextDelegate.h"
#include "results/TWKindIconProvider.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kGroups = 20000;
constexpr int kFilesPerGroup = 5;
constexpr int kRuns = 5;

// Never moves anything: the bench does not trash.
class NoTrash final : public TWTrash {
public:
    TWTrashOutcome moveToTrash(const std::string&) override { return {}; }
    bool isInsideTrash(const std::string&) const override { return false; }
    std::string homeTrashFilesFolder() const override { return "/nonexistent"; }
};

void fillGroups(TWGroupOfGroups& groups, const std::string& root, bool onDisk) {
    for (int g = 0; g < kGroups; ++g) {
        std::string folder = root + "/" + std::to_string(g);
        if (onDisk)
            ::mkdir(folder.c_str(), 0755);
        TWDuplicateGroupRef group;
        for (int m = 0; m < kFilesPerGroup; ++m) {
            std::string path = folder + "/IMG_" + std::to_string(m) + ".jpg";
            if (onDisk) {
                int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                if (fd >= 0) {
                    timespec times[2] = {{0, UTIME_OMIT}, {1600000000 + (g * 7 + m * 13) % 1000, 0}};
                    ::futimens(fd, times);
                    ::close(fd);
                }
            }
            auto node = TWFileSystemPath::initWithAbsolutePath(path);
            if (!group)
                group = TWDuplicateGroup::groupWithNode(node);
            else
                group->addNode(node);
        }
        groups.addGroup(group);
    }
}

void report(const char* what, std::vector<qint64> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s median %6lld ms   worst %6lld ms\n", what,
                static_cast<long long>(samples[samples.size() / 2]),
                static_cast<long long>(samples.back()));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    bool onDisk = argc > 1 && std::strcmp(argv[1], "--on-disk") == 0;
    QTemporaryDir folder;
    std::string root = onDisk ? folder.path().toStdString() : "/nonexistent/twinfind-bench";

    NoTrash trash;
    TWKindIconProvider kinds;
    TWGroupOfGroups groups;
    TWFilesTableModel model(groups, trash, kinds);
    QTableView view;
    view.setModel(&model);
    delete view.selectionModel();
    view.setSelectionModel(new TWFilesSelectionModel(&model, &view));
    view.setItemDelegateForColumn(0, new TWImageTextDelegate(&view));
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.resize(1000, 700);
    view.show();
    TWFileCommands commands(view, model, trash);

    QElapsedTimer timer;
    timer.start();
    model.beginRefill();
    fillGroups(groups, root, onDisk);
    model.endRefill();
    QApplication::processEvents();
    std::printf("%d files in %d groups%s, made in %lld ms\n", model.rowCount(), kGroups,
                onDisk ? " on disk" : "", static_cast<long long>(timer.elapsed()));

    auto measure = [&](const char* what, const std::function<void()>& before,
                       const std::function<void()>& command) {
        std::vector<qint64> samples;
        for (int run = 0; run < kRuns; ++run) {
            before();
            QApplication::processEvents();
            timer.start();
            command();
            view.viewport()->repaint();
            QApplication::processEvents();
            samples.push_back(timer.elapsed());
        }
        report(what, samples);
    };
    auto nothing = [] {};
    auto newest = [&] { commands.selectOnePerGroup(TWFileCommands::Choice::newest); };
    auto all = [&] { view.selectAll(); };

    measure("select newest (from none)", [&] { view.clearSelection(); }, newest);
    measure("select newest (from all)", all, newest);
    measure("invert (from newest)", newest, [&] { commands.invertSelection(); });
    measure("select all (from newest)", newest, all);
    measure("click one row (from newest)", newest, [&] {
        view.selectionModel()->select(model.index(12, 0), QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
    });
    measure("ctrl-click one row (from newest)", newest, [&] {
        view.selectionModel()->select(model.index(12, 0),
                                      QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    });
    measure("repaint (newest selected)", newest, nothing);
    measure("scroll a page (newest selected)", newest, [&] {
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + 500);
    });
    measure("selected rows (all selected)", all, [&] { (void)commands.selectedRows(); });
    measure("refill with every group", nothing, [&] {
        std::vector<TWDuplicateGroupRef> held = groups.groups();
        model.beginRefill();
        groups.removeAll();
        for (const TWDuplicateGroupRef& group : held)
            groups.addGroup(group);
        model.endRefill();
    });
    return 0;
}
