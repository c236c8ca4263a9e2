#include "import_run.h"

#include "support/log_format.h"

namespace import_run {

harness::Result setparams(const std::string &file, const std::string &script,
                          const std::vector<std::string> &options,
                          const std::vector<std::string> &after) {
    harness::TempDir directory;
    std::string path = directory.file("params.txt");
    harness::writeFile(path, file);
    harness::Run request;
    request.args = options;
    request.args.push_back("setparams");
    request.args.push_back(path);
    request.args.insert(request.args.end(), after.begin(), after.end());
    request.script = script;
    return harness::run(request);
}

std::string complex_script(const std::string &name, const std::string &tree) {
    return R"({"params": [{"name": ")" + name + R"(", "tree": )" + tree + "}]}";
}

std::vector<std::string> syslog_of(const std::vector<std::string> &errors) {
    std::vector<std::string> lines = {"openlog \"kelbrinclient\" 1 8"};
    for (const std::string &error : errors)
        lines.push_back("3 " + test_logs::c_escaped(error));
    return lines;
}

std::string stderr_of(const std::vector<std::string> &errors) {
    std::string text;
    for (const std::string &error : errors)
        text += error + "\n";
    return text;
}

} // namespace import_run
