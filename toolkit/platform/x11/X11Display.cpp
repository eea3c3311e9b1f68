#include "X11Display.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace x11 {

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for a forwarded display across a slow link, short enough for a host's GUI thread.
constexpr std::chrono::milliseconds kAnswerTime(1000);
// Display N listens on TCP port 6000 + N.
constexpr int kFirstPort = 6000;
// A connection set-up request without authorisation: byte order (little-endian), protocol 11.0. Any
// answer (accepted, refused, or asking for authorisation) says an X server is there.
constexpr unsigned char kSetupRequest[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool waitFor(int socket, short events, Clock::time_point deadline) {
    pollfd wait = {socket, events, 0};
    int ready = 0;
    do {
        ready = poll(&wait, 1, millisecondsLeft(deadline));
    } while (ready < 0 && errno == EINTR);
    return ready == 1 && (wait.revents & events) != 0;
}

bool serverAnswersAt(const addrinfo& address, Clock::time_point deadline) {
    const int socket =
        ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (socket < 0) {
        return false;
    }
    bool answers = false;
    if (connect(socket, address.ai_addr, address.ai_addrlen) == 0 || errno == EINPROGRESS) {
        int error = 0;
        socklen_t size = sizeof(error);
        answers = waitFor(socket, POLLOUT, deadline) &&
                  getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0 &&
                  send(socket, kSetupRequest, sizeof(kSetupRequest), MSG_NOSIGNAL) ==
                      static_cast<ssize_t>(sizeof(kSetupRequest)) &&
                  waitFor(socket, POLLIN, deadline);
    }
    close(socket);
    return answers;
}

// Whether the display is local (a socket on this machine), or an X server on its host answers in time.
bool displayAnswers(const char* name) {
    char* host = nullptr;
    int display = 0;
    if (name == nullptr || xcb_parse_display(name, &host, &display, nullptr) == 0) {
        std::free(host);
        return false;
    }
    const std::string hostName = host != nullptr ? host : "";
    std::free(host);
    if (hostName.empty() || hostName == "unix" || hostName[0] == '/') {
        return true;
    }
    const auto deadline = Clock::now() + kAnswerTime;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    const std::string port = std::to_string(kFirstPort + display);
    if (getaddrinfo(hostName.c_str(), port.c_str(), &hints, &addresses) != 0) {
        return false;
    }
    bool answers = false;
    for (const addrinfo* address = addresses;
         address != nullptr && !answers && millisecondsLeft(deadline) > 0; address = address->ai_next) {
        answers = serverAnswersAt(*address, deadline);
    }
    freeaddrinfo(addresses);
    return answers;
}

} // namespace

xcb_connection_t* connectToDisplay(int& screenNumber) {
    if (!displayAnswers(std::getenv("DISPLAY"))) {
        return nullptr;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return connection;
}

} // namespace x11
