// Runs the real kelbrinclient as a whole process and captures everything it
// does: standard output and error, exit status, syslog lines, and the calls
// that reach the store library (against the recording test double).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace harness {

struct Run {
    std::vector<std::string> args;       // the words after argument zero
    std::string argv0 = "kelbrinclient"; // argument zero as given (the syslog ident)
    std::string input;                   // standard input
    std::string script = "{}";           // the test double's script (JSON)
    bool realStore = false;              // the embedded store instead of the double
    std::string storePath;               // KELBRIN_STORE for the embedded store
    std::map<std::string, std::string> env; // more environment, e.g. REQUEST_METHOD
    std::string cwd;                     // working directory; empty: the test's
    long fakeTime = 1700000000;          // what time() returns in the program
    int timeoutSeconds = 60;             // killed after this
};

struct Result {
    std::string out;
    std::string err;
    int status = -1;                       // exit status, or 128 + signal number
    std::vector<std::string> syslog;       // "openlog \"ident\" 1 8", then "<priority> <text>"
    std::vector<std::string> calls;        // double's log lines, " {…}" removed (" CORRUPTED" stays)
    std::vector<std::string> callsWithOptions; // double's log lines as written
};

// Runs the program once. The environment is the test's own less
// REQUEST_METHOD, plus TZ=UTC, LC_ALL=C and Run::env.
Result run(const Run &request);

// The cli_* lines of calls (leaving out drep_* and the start-up reset).
std::vector<std::string> storeCalls(const Result &result);

// Paths of the build, for tests that run other programs.
std::string programPath();   // <build>/bin/kelbrinclient
std::string doubleLibraryDir(); // <build>/tests/double
std::string storeLibraryDir();  // <build>/lib
std::string sourceDir();        // the source tree's root

// A fresh directory under /tmp, removed with everything in it at the end.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string readFile(const std::string &path);
void writeFile(const std::string &path, const std::string &content);

// Runs a shell command line with /bin/sh, feeding it input; returns its
// standard output and stores its exit status.
std::string shell(const std::string &commandLine, int *status = nullptr,
                  const std::string &input = "");

} // namespace harness
