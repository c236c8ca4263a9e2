// Runs kelbrinclient with the double (or the embedded store), the syslog and
// clock capture preloaded, and collects what it did.
#include "harness.h"

#include <cstdlib>
#include <sstream>
#include <unistd.h>

#include "process.h"

namespace harness {

namespace {

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Drops the " {port=... noMapped=N}" part, keeping a " CORRUPTED" after it
// so that corrupted options still show.
std::string without_options(const std::string &line) {
    size_t start = line.rfind(" {port=");
    if (start == std::string::npos)
        return line;
    size_t end = line.find('}', start);
    return line.substr(0, start) + (end == std::string::npos ? "" : line.substr(end + 1));
}

std::vector<std::string> environment_for(const Run &request, const TempDir &files) {
    std::map<std::string, std::string> variables;
    for (const std::string &entry : inherited_environment()) {
        size_t equals = entry.find('=');
        if (equals != std::string::npos)
            variables[entry.substr(0, equals)] = entry.substr(equals + 1);
    }
    variables.erase("REQUEST_METHOD");
    variables["TZ"] = "UTC";
    variables["LC_ALL"] = "C";
    if (request.realStore) {
        if (!request.storePath.empty())
            variables["KELBRIN_STORE"] = request.storePath;
    } else {
        writeFile(files.file("script.json"), request.script);
        variables["KELBRIN_DOUBLE_SCRIPT"] = files.file("script.json");
        variables["KELBRIN_DOUBLE_LOG"] = files.file("calls.log");
        variables["LD_LIBRARY_PATH"] = doubleLibraryDir();
    }
    variables["LD_PRELOAD"] = KELBRIN_CAPTURE_PRELOAD;
    // A sanitized program would refuse to start with the preload ahead of its runtime.
    std::string &sanitizer = variables["ASAN_OPTIONS"];
    sanitizer += (sanitizer.empty() ? "" : ":") + std::string("verify_asan_link_order=0");
    variables["KELBRIN_CAPTURE_LOG"] = files.file("syslog.log");
    variables["KELBRIN_FAKE_TIME"] = std::to_string(request.fakeTime);
    for (const auto &[name, value] : request.env)
        variables[name] = value;

    std::vector<std::string> entries;
    for (const auto &[name, value] : variables)
        entries.push_back(name + "=" + value);
    return entries;
}

// KELBRIN_TEST_WRAPPER, when set, is a command (absolute path first, words
// split at spaces) that runs the program, such as a memory checker.
std::vector<std::string> wrapper_words() {
    std::vector<std::string> words;
    const char *wrapper = std::getenv("KELBRIN_TEST_WRAPPER");
    std::istringstream split(wrapper != nullptr ? wrapper : "");
    for (std::string word; split >> word;)
        words.push_back(word);
    return words;
}

// The name under which the wrapper starts the program. The wrapper gives
// the program the name it was handed as argument zero, so a bare argv0 is
// linked to the program in the run's directory and found through PATH; an
// argv0 with a slash cannot be kept and the program's path stands instead.
// The store library is named explicitly: the link's directory has no lib/.
std::string wrapped_program(Run &request, const TempDir &files) {
    const std::string &name = request.argv0;
    if (request.realStore)
        request.env["LD_LIBRARY_PATH"] = storeLibraryDir();
    if (name.empty() || name.find('/') != std::string::npos ||
        symlink(programPath().c_str(), files.file(name).c_str()) != 0)
        return programPath();
    const char *path = std::getenv("PATH");
    request.env["PATH"] = files.path() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
    return name;
}

} // namespace

Result run(const Run &original) {
    TempDir files;
    Run request = original;
    std::vector<std::string> argv = wrapper_words();
    std::string path = argv.empty() ? programPath() : argv.front();
    if (argv.empty()) {
        argv.push_back(request.argv0);
    } else {
        argv.push_back(wrapped_program(request, files));
        request.timeoutSeconds *= 10; // a memory checker slows the program down that much
    }
    argv.insert(argv.end(), request.args.begin(), request.args.end());
    ProcessOutcome outcome = run_process(path, argv, environment_for(request, files),
                                         request.cwd, request.input, request.timeoutSeconds);
    Result result;
    result.out = std::move(outcome.out);
    result.err = std::move(outcome.err);
    result.status = outcome.status;
    result.syslog = lines_of(readFile(files.file("syslog.log")));
    result.callsWithOptions = lines_of(readFile(files.file("calls.log")));
    for (const std::string &line : result.callsWithOptions)
        result.calls.push_back(without_options(line));
    return result;
}

std::vector<std::string> storeCalls(const Result &result) {
    std::vector<std::string> calls;
    for (const std::string &line : result.calls)
        if (line.starts_with("cli_") && line != "cli_resetOptions()")
            calls.push_back(line);
    return calls;
}

} // namespace harness
