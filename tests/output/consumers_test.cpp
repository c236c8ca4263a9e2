// End to end against the embedded store: the output of each type read back
// by the program it is written for, and the example device listed whole.
#include "program_test_support.h"

namespace output_tests {
namespace {

harness::Result run_store(const harness::TempDir &dir, std::vector<std::string> args) {
    harness::Run request;
    request.args = std::move(args);
    request.realStore = true;
    request.storePath = dir.file("store.db");
    request.cwd = dir.path();
    return harness::run(request);
}

std::string all_bytes() {
    std::string bytes;
    for (int byte = 1; byte <= 255; byte++)
        bytes += (char)byte;
    return bytes;
}

std::string without(std::string text, char dropped) {
    std::erase(text, dropped);
    return text;
}

// Stores the values as root.T.V0, V1, ... and returns the words that set them.
std::vector<std::string> declare_and_set(const harness::TempDir &dir,
                                         const std::vector<std::string> &values) {
    json items = json::array();
    std::vector<std::string> args = {"readgroupfile", dir.file("group.json")};
    for (size_t i = 0; i < values.size(); i++) {
        items.push_back({{"parameter", "V" + std::to_string(i)}});
        args.insert(args.end(), {"set", "root.T.V" + std::to_string(i), values[i]});
    }
    harness::writeFile(dir.file("group.json"),
                       json{{"groups", {{{"group", "root.T"}, {"items", items}}}}}.dump());
    return args;
}

const std::vector<std::string> trickyValues = {"", "'", "''", "it's", "a\"b\\c", "line\n",
                                               "\\\"", "{x}", "a&b", "<b>&"};

TEST(Consumers, ShellsRecoverEveryByteOfScriptOutput) {
    harness::TempDir dir;
    std::vector<std::string> values = trickyValues;
    values.push_back(all_bytes());
    values.push_back("$HOME `id` $(id)");
    std::vector<std::string> args = declare_and_set(dir, values);
    args.insert(args.end(), {"getgroup", "root.T", "out.sh", "SCRIPT"});
    ASSERT_EQ(run_store(dir, args).status, 0);

    for (const char *shell : {"dash", "bash"}) {
        std::string script = ". ./out.sh";
        for (size_t i = 0; i < values.size(); i++)
            script += "; printf %s \"$root_T_V" + std::to_string(i) + "\" > got" + std::to_string(i);
        int status = -1;
        harness::shell("cd " + dir.path() + " && LC_ALL=C " + shell + " -c '" + script + "'",
                       &status);
        ASSERT_EQ(status, 0) << shell;
        for (size_t i = 0; i < values.size(); i++)
            EXPECT_EQ(harness::readFile(dir.file("got" + std::to_string(i))), values[i])
                << shell << " value " << i;
    }
}

TEST(Consumers, PhpRecoversValuesWithoutDollarSigns) {
    harness::TempDir dir;
    std::vector<std::string> values = trickyValues;
    values.push_back(without(all_bytes(), '$'));
    values.push_back("cost: $HOME");
    std::vector<std::string> args = declare_and_set(dir, values);
    // getgroup ends the file with "?>", get without it: PHP reads both.
    args.insert(args.end(), {"getgroup", "root.T", "out.php", "PHP", "get", "root.T.V0",
                             "single.php", "PHP"});
    ASSERT_EQ(run_store(dir, args).status, 0);

    std::string code = "include \"out.php\"; include \"single.php\";";
    for (size_t i = 0; i < values.size(); i++)
        code += " file_put_contents(\"got" + std::to_string(i) + "\", $root_T_V" +
                std::to_string(i) + ");";
    int status = -1;
    harness::shell("cd " + dir.path() + " && php -d error_reporting=0 -r '" + code + "'", &status);
    ASSERT_EQ(status, 0);
    for (size_t i = 0; i + 1 < values.size(); i++)
        EXPECT_EQ(harness::readFile(dir.file("got" + std::to_string(i))), values[i]) << i;
    // PHP interpolates "$" inside double quotes.
    EXPECT_EQ(harness::readFile(dir.file("got" + std::to_string(values.size() - 1))), "cost: ");
}

TEST(Consumers, HtmlParserRecoversFormValuesWithoutSingleQuotes) {
    harness::TempDir dir;
    std::vector<std::string> values;
    for (const std::string &value : trickyValues)
        if (value.find('\'') == std::string::npos)
            values.push_back(value);
    values.push_back(without(all_bytes(), '\''));
    values.push_back("a&amp;b"); // HTML decodes character references
    std::vector<std::string> args = declare_and_set(dir, values);
    args.insert(args.end(), {"getgroup", "root.T", "out.html", "FORM"});
    ASSERT_EQ(run_store(dir, args).status, 0);

    harness::writeFile(dir.file("read.py"), R"(from html.parser import HTMLParser
class Fields(HTMLParser):
    def handle_starttag(self, tag, attrs):
        fields = dict(attrs)
        with open("got_" + fields["name"], "wb") as got:
            got.write(fields["value"].encode("latin-1"))
parser = Fields()
parser.feed(open("out.html", "rb").read().decode("latin-1"))
parser.close()
)");
    int status = -1;
    harness::shell("cd " + dir.path() + " && python3 read.py", &status);
    ASSERT_EQ(status, 0);
    for (size_t i = 0; i + 1 < values.size(); i++)
        EXPECT_EQ(harness::readFile(dir.file("got_conf_T_V" + std::to_string(i))), values[i]) << i;
    EXPECT_EQ(harness::readFile(dir.file("got_conf_T_V" + std::to_string(values.size() - 1))),
              "a&b");
}

TEST(Consumers, SectionsListingShowsTheWholeExampleDevice) {
    harness::TempDir dir;
    harness::Result result =
        run_store(dir, {"readgroupfile", harness::sourceDir() + "/examples/device.json",
                        "getgroup", "root", "-", "NAMEVALUESECTIONS"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string &out = result.out;
    EXPECT_EQ(out.rfind(banner + "\n\n[Brand]\nBrand                    = \"Kelbrin\"\n", 0), 0u);
    size_t position = 0;
    for (const char *header : {"[Brand]", "[Network]", "[Network.eth0]", "[Network.DNS]",
                               "[Network.HTTP]", "[Network.HTTPS]", "[Image]", "[Image.Overlay]",
                               "[Image]", "[Time]", "[Time.NTP]", "[Security]", "[Storage]",
                               "[Badge]", "[Event]", "[Event.Action]"}) {
        position = out.find(std::string("\n\n") + header + "\n", position);
        ASSERT_NE(position, std::string::npos) << header;
        position++;
    }
    EXPECT_NE(out.find("\n\n[Image]\nZones.mode \t =  [ \"auto\"  ] \n"
                       "Zones.ports \t =  ( [ \"80\"  ]  [ \"443\"  ]  )\n"
                       "Zones.schedule  {\n"
                       "\tstart \t\t =  [ \"08:00\"  ] \n"
                       "\tcount \t\t =  [ \"3\"  ] \n"
                       "} \n\n"),
              std::string::npos);
    EXPECT_NE(out.find("Firewall.log \t {\n\tenabled \t =  [ \"yes\"  ] \n\tlevel \t\t =  [ \"2\"  ] \n"
                       "} \n\n"),
              std::string::npos);
    const std::string last = "\n\n[Event.Action]\nDefaultRetries           = \"3\"\n";
    EXPECT_TRUE(out.ends_with(last)) << out;
}

TEST(Consumers, GroupListShowsDynamicGroups) {
    harness::TempDir dir;
    harness::Result result =
        run_store(dir, {"readgroupfile", harness::sourceDir() + "/examples/device.json",
                        "addgroup", "root.Badge", "badge", "addgroup", "root.Badge", "badge",
                        "getgrouplist", "root.Badge", "list.txt", "VALUE",
                        "getgrouplist", "root.Badge", "sections.txt", "NAMEVALUESECTIONS",
                        "getgrouplist", "root.Brand"});
    const std::string created = harness::readFile(dir.file("list.txt"));
    ASSERT_EQ(std::count(created.begin(), created.end(), '\n'), 2) << created;
    EXPECT_EQ(harness::readFile(dir.file("sections.txt")),
              banner + "\n\n[Badge]\n" + "root.Badge               = " +
                  created.substr(0, created.find('\n') + 1) + "root.Badge               = " +
                  created.substr(created.find('\n') + 1));
    expect_messages(result, {{4, "#No groups for group 'root.Brand'!"}});
    EXPECT_EQ(result.status, 2);
}

} // namespace
} // namespace output_tests
