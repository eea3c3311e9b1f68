#include "DesktopOpener.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kOpener = "xdg-open";

// The opener's path as the shell would find it, looked up before forking: after a fork in a
// multithreaded host only async-signal-safe calls are allowed.
std::string findOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        std::string candidate = folder + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

} // namespace

void openWithDesktop(const char* url) {
    if (url == nullptr || *url == '\0') {
        return;
    }
    const std::string opener = findOnPath(kOpener);
    if (opener.empty()) {
        return;
    }
    char* const arguments[] = {const_cast<char*>(kOpener), const_cast<char*>(url), nullptr};
    // Twice: the middle child leaves at once, so the opener belongs to init and we wait only for that.
    const pid_t middle = fork();
    if (middle == 0) {
        if (fork() == 0) {
            const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
            if (nothing >= 0) {
                dup2(nothing, STDIN_FILENO);
                dup2(nothing, STDOUT_FILENO);
                dup2(nothing, STDERR_FILENO);
            }
            setsid();
            execve(opener.c_str(), arguments, environ);
        }
        _exit(0);
    }
    if (middle > 0) {
        while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
}
