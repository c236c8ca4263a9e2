#include "process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace harness {

namespace {

constexpr int exitExecFailed = 127;
constexpr int signalStatusBase = 128;

std::vector<char *> pointers(const std::vector<std::string> &texts) {
    std::vector<char *> result;
    for (const std::string &text : texts)
        result.push_back(const_cast<char *>(text.c_str()));
    result.push_back(nullptr);
    return result;
}

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe make_pipe() {
    int ends[2] = {-1, -1};
    if (pipe2(ends, O_CLOEXEC) != 0)
        return {};
    return {ends[0], ends[1]};
}

void close_end(int &descriptor) {
    if (descriptor >= 0)
        close(descriptor);
    descriptor = -1;
}

// In the child: only async-signal-safe calls until exec.
[[noreturn]] void become_child(const Pipe &in, const Pipe &out, const Pipe &err, const char *path,
                               char **argv, char **envp, const char *cwd) {
    dup2(in.read, 0);
    dup2(out.write, 1);
    dup2(err.write, 2);
    signal(SIGPIPE, SIG_DFL);
    if (cwd[0] != '\0' && chdir(cwd) != 0)
        _exit(exitExecFailed);
    execve(path, argv, envp);
    static const char message[] = "harness: cannot execute the program\n";
    ssize_t ignored = write(2, message, sizeof message - 1);
    (void)ignored;
    _exit(exitExecFailed);
}

// Reads what is there into text; false at end of stream or on error.
bool drain(int descriptor, std::string &text) {
    char buffer[65536];
    ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got > 0) {
        text.append(buffer, static_cast<size_t>(got));
        return true;
    }
    return got < 0 && (errno == EINTR || errno == EAGAIN);
}

int decode_status(int waitStatus) {
    if (WIFEXITED(waitStatus))
        return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus))
        return signalStatusBase + WTERMSIG(waitStatus);
    return -1;
}

} // namespace

std::vector<std::string> inherited_environment() {
    std::vector<std::string> result;
    for (char **entry = environ; *entry != nullptr; ++entry)
        result.emplace_back(*entry);
    return result;
}

ProcessOutcome run_process(const std::string &path, const std::vector<std::string> &argv,
                           const std::vector<std::string> &environment, const std::string &cwd,
                           const std::string &input, int timeoutSeconds) {
    // A child that stops reading its input must not kill the test.
    signal(SIGPIPE, SIG_IGN);
    ProcessOutcome outcome;
    Pipe in = make_pipe(), out = make_pipe(), err = make_pipe();
    std::vector<char *> argvPointers = pointers(argv);
    std::vector<char *> envPointers = pointers(environment);
    pid_t child = fork();
    if (child == 0)
        become_child(in, out, err, path.c_str(), argvPointers.data(), envPointers.data(),
                     cwd.c_str());
    close_end(in.read);
    close_end(out.write);
    close_end(err.write);
    if (child < 0) {
        close_end(in.write);
        close_end(out.read);
        close_end(err.read);
        outcome.err = "harness: fork failed";
        return outcome;
    }
    fcntl(in.write, F_SETFL, O_NONBLOCK);
    size_t inputSent = 0;
    if (input.empty())
        close_end(in.write);

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool killed = false;
    while (out.read >= 0 || err.read >= 0) {
        pollfd watched[3] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}, {in.write, POLLOUT, 0}};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 && !killed) {
            kill(child, SIGKILL);
            killed = true;
        }
        int ready = poll(watched, 3, killed ? 1000 : static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready == 0 && killed)
            break; // something the child started still holds the pipes
        if (ready <= 0)
            continue;
        if (watched[0].revents != 0 && !drain(out.read, outcome.out))
            close_end(out.read);
        if (watched[1].revents != 0 && !drain(err.read, outcome.err))
            close_end(err.read);
        if (watched[2].revents != 0) {
            ssize_t sent = write(in.write, input.data() + inputSent, input.size() - inputSent);
            if (sent > 0)
                inputSent += static_cast<size_t>(sent);
            if ((sent < 0 && errno != EAGAIN && errno != EINTR) || inputSent == input.size())
                close_end(in.write);
        }
    }
    close_end(in.write);
    close_end(out.read);
    close_end(err.read);
    int waitStatus = 0;
    while (waitpid(child, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    outcome.status = decode_status(waitStatus);
    return outcome;
}

} // namespace harness
