#include "cli/TWCommandLine.h"
#include "cli/TWConsoleHost.h"
#include "cli/TWResultPrinter.h"
#include "engine/TWSearchController.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

// An unreadable or missing start folder is worth a warning; the search goes on without it.
void warnAboutStartPath(const std::string& path) {
    if (::access(path.c_str(), R_OK) != 0)
        std::fprintf(stderr, "twinfind: warning: cannot read '%s': %s\n", path.c_str(),
                     std::strerror(errno));
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    TWCommandLineResult parsed = parseCommandLine(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "twinfind: %s\n", parsed.error.c_str());
        return 2;
    }
    TWCommandLineOptions& options = *parsed.options;
    if (options.showHelp) {
        std::fputs(commandLineHelp().c_str(), stdout);
        return 0;
    }
    if (options.showVersion) {
        std::puts("twinfind " TWINFIND_VERSION);
        return 0;
    }
    if (options.startPaths.empty())
        options.startPaths.push_back(homeFolder());
    for (const std::string& path : options.startPaths)
        warnAboutStartPath(path);

    TWConsoleMainThread mainThread;
    TWConsoleSearchWindow window(stderr, ::isatty(STDERR_FILENO) == 1);
    auto controller = TWSearchController::searchControllerWithStartPaths(options.startPaths,
                                                                         options.params, mainThread);
    controller->setWindow(&window);
    TWContentsPassOptions reading;
    reading.readers = options.readers;
    if (options.readOrder)
        reading.order = *options.readOrder;
    controller->setContentsPassOptions(reading);
    controller->startSearch();
    mainThread.runUntil([&] { return window.hasEnded(); });

    printGroups(stdout, controller->allGroups(), options);
    int status = std::fflush(stdout) != 0 || std::ferror(stdout) ? 1 : 0;
    // Everything is written; letting go of every node one by one would only cost time.
    std::_Exit(status);
}
