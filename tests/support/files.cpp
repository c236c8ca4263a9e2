// Files, directories and build paths for tests.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "harness.h"
#include "process.h"

namespace harness {

std::string programPath() {
    return KELBRIN_PROGRAM_PATH;
}
std::string doubleLibraryDir() {
    return KELBRIN_DOUBLE_DIR;
}
std::string storeLibraryDir() {
    return KELBRIN_STORE_DIR;
}
std::string sourceDir() {
    return KELBRIN_SOURCE_DIR;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/kelbrin-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("cannot make a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored; // a test must not fail while cleaning up
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

void writeFile(const std::string &path, const std::string &content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

std::string shell(const std::string &commandLine, int *status, const std::string &input) {
    constexpr int shellTimeoutSeconds = 120;
    ProcessOutcome outcome = run_process("/bin/sh", {"sh", "-c", commandLine},
                                         inherited_environment(), "", input, shellTimeoutSeconds);
    if (status != nullptr)
        *status = outcome.status;
    return outcome.out;
}

} // namespace harness
