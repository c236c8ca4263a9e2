// sync, readgroupfile, set and deletegroup: messages, library calls, statuses.
#include "front/program_run.h"

namespace {

using program_run::Case;
using program_run::Lines;

const std::string nosyncError = "Syncing parameters!\n"
                                "Error, tried to call sync using option --nosync!\n\n"
                                "Could not sync.\n";
// Syslog gets the texts as formatted, without the added newline.
const Lines nosyncLog = {"3 Error, tried to call sync using option --nosync!\\n",
                         "3 Could not sync."};
const char *twoGroups = R"({"params": [{"name": "root.B.z", "value": "0"}],
                           "children": {"root": [{"name": "root.B", "value": "B"}]}})";

TEST(StoreCommands, CallTheLibraryAndReportItsErrors) {
    std::vector<Case> cases = {
        {"sync under -nosync also logs the notice", {"-nosync", "sync"}, "", nosyncError, 1,
         Lines{},
         Lines{"6 Review your options since some of them are deprecated. Options start with "
               "'--' and not with '-'!\\n",
               nosyncLog[0], nosyncLog[1]}},
        {"sync under a signal mode", {"--nolog", "--sigonly", "sync"}, "", "Syncing parameters!\n",
         0, Lines{"cli_sync()"}},
        {"sync under a signal mode", {"--nolog", "--sync-nosig", "sync"}, "",
         "Syncing parameters!\n", 0, Lines{"cli_sync()"}},
        {"a sync error ends the run", {"--nolog", "sync", "set", "root.A.x", "v"}, "",
         "Syncing parameters!\nError -7 syncing to file!\n\nCould not sync.\n", 1,
         Lines{"cli_sync() ! -7"}, Lines{}, R"({"fail": [{"call": "cli_sync", "error": -7}]})"},
        {"a readgroupfile error ends the run",
         {"readgroupfile", "dev ice.json", "set", "root.A.x", "v"}, "",
         "Error -12 reading file 'dev ice.json' into kelbrin!\n"
         "Failed to read groupfile 'dev ice.json'\n",
         1, Lines{"cli_readGroupFile(\"dev ice.json\") ! -12"},
         Lines{"3 Error -12 reading file 'dev ice.json' into kelbrin!",
               "3 Failed to read groupfile 'dev ice.json'"},
         R"({"fail": [{"call": "cli_readGroupFile", "error": -12}]})"},
        {"set passes name and value unchanged", {"set", "root.A.x", "a b\\n%s 'q'"}, "", "", 0,
         Lines{"cli_setCustomParam(\"root.A.x\", \"a b\\\\n%s 'q'\")"}, Lines{}},
        {"a set error ends the run", {"set", "root.A.x", "100%", "set", "root.A.y", "2"}, "",
         "Error -6 setting 'root.A.x' to '100%'!\nFailed to set parameter root.A.x.\n", 1,
         Lines{"cli_setCustomParam(\"root.A.x\", \"100%\") ! -6"},
         Lines{"3 Error -6 setting 'root.A.x' to '100%'!", "3 Failed to set parameter root.A.x."},
         R"({"fail": [{"call": "cli_setCustomParam", "arg": "root.A.x", "error": -6}]})"},
        {"a deletegroup error is reported and the run goes on",
         {"deletegroup", "root.Missing", "deletegroup", "root.B"}, "",
         "Error deleteing group 'root.Missing'\n", 2,
         Lines{"cli_deleteGroup(\"root.Missing\") ! -2", "cli_deleteGroup(\"root.B\")"},
         Lines{"3 Error deleteing group 'root.Missing'"}, twoGroups},
        {"status 2 stays after a later success",
         {"--nolog", "deletegroup", "root.Missing", "set", "root.A.x", "v"}, "",
         "Error deleteing group 'root.Missing'\n", 2, std::nullopt, Lines{}, twoGroups},
        {"status 2 becomes 1 on a later fatal error",
         {"--nolog", "deletegroup", "root.Missing", "set", "root.A.x", "v", "bogus"}, "",
         "Error deleteing group 'root.Missing'\nInvalid command 'bogus'!\n", 1, std::nullopt,
         Lines{}, twoGroups},
    };
    // sync under --nosync fails without calling the library.
    for (const char *option : {"--nosync", "--nosync-nosig", "-s", "-n"})
        cases.push_back({"sync under nosync", {option, "sync"}, "", nosyncError, 1, Lines{},
                         nosyncLog});
    for (const Case &c : cases)
        program_run::check(c);
}

} // namespace
