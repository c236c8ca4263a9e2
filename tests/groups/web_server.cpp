#include "web_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace groups_test {

namespace {

constexpr int startAttempts = 5;
constexpr auto startTimeout = std::chrono::seconds(10);
constexpr auto stopTimeout = std::chrono::seconds(5);
constexpr auto pollInterval = std::chrono::milliseconds(20);

// A port that was free a moment ago; the server may still lose it to another
// process, so starting is retried.
int free_port() {
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(probe);
    return port;
}

bool accepts_connections(int port) {
    int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    bool connected = connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    close(client);
    return connected;
}

std::string lighttpd_path() {
    std::string found = harness::shell("command -v lighttpd || ls /usr/sbin/lighttpd 2>/dev/null");
    while (!found.empty() && found.back() == '\n')
        found.pop_back();
    return found;
}

// Waits for the child to end; false when it was still running at the deadline.
bool reap(pid_t child, std::chrono::steady_clock::duration timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (waitpid(child, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(pollInterval);
    }
    return true;
}

} // namespace

WebServer::WebServer(const std::map<std::string, std::string> &environment) {
    std::string htdocs = directory_.file("htdocs");
    harness::shell("mkdir -p '" + htdocs + "' && cp '" + harness::sourceDir() +
                   "'/tests/groups/cgi/*.cgi '" + htdocs + "'");
    for (int attempt = 0; attempt < startAttempts && !start(environment); attempt++) {
    }
}

WebServer::~WebServer() { stop(); }

bool WebServer::start(const std::map<std::string, std::string> &environment) {
    int port = free_port();
    std::string program = lighttpd_path();
    if (port == 0 || program.empty())
        return false;
    std::string passed;
    for (const auto &[name, value] : environment)
        passed += (passed.empty() ? "\"" : ", \"") + name + "\" => \"" + value + "\"";
    std::string config = directory_.file("lighttpd.conf");
    harness::writeFile(config, "server.document-root = \"" + directory_.file("htdocs") + "\"\n" +
                                   "server.bind = \"127.0.0.1\"\n" +
                                   "server.port = " + std::to_string(port) + "\n" +
                                   "server.errorlog = \"" + directory_.file("server.log") + "\"\n" +
                                   "server.breakagelog = \"" + directory_.file("error.log") + "\"\n" +
                                   "server.modules = (\"mod_cgi\", \"mod_setenv\")\n" +
                                   "cgi.assign = (\".cgi\" => \"/bin/sh\")\n" +
                                   "setenv.add-environment = (" + passed + ")\n");

    std::string output = directory_.file("server.out");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    std::string foreground = "-D", file = "-f";
    char *argv[] = {program.data(), foreground.data(), file.data(), config.data(), nullptr};
    pid_t child = -1;
    int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;

    auto deadline = std::chrono::steady_clock::now() + startTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return false; // gave up, e.g. the port was taken meanwhile
        if (accepts_connections(port)) {
            server_ = child;
            port_ = port;
            return true;
        }
        std::this_thread::sleep_for(pollInterval);
    }
    kill(child, SIGKILL);
    reap(child, stopTimeout);
    return false;
}

void WebServer::stop() {
    if (server_ <= 0)
        return;
    kill(server_, SIGTERM);
    if (!reap(server_, stopTimeout)) {
        kill(server_, SIGKILL);
        reap(server_, stopTimeout);
    }
    server_ = -1;
    port_ = 0;
}

std::string WebServer::startFailure() const {
    return lighttpd_path().empty() ? "lighttpd is not installed"
                                   : harness::readFile(directory_.file("server.out")) +
                                         harness::readFile(directory_.file("server.log"));
}

Page WebServer::fetch(const std::string &target) {
    Page page;
    if (!started())
        return page;
    std::string headers = directory_.file("response.headers");
    std::string body = directory_.file("response.body");
    harness::shell("rm -f '" + headers + "' '" + body + "'");
    std::string code = harness::shell("curl -sS --max-time 10 -D '" + headers + "' -o '" + body +
                                      "' -w '%{http_code}' 'http://127.0.0.1:" +
                                      std::to_string(port_) + target + "'");
    page.status = std::atoi(code.c_str());
    page.headers = harness::readFile(headers);
    page.body = harness::readFile(body);
    return page;
}

std::string WebServer::errorLog() const { return harness::readFile(directory_.file("error.log")); }

} // namespace groups_test
