// End to end against the embedded store: the output of each type read back
// by the program it is written for, and the example device listed whole.
#include <functional>

#include "program_test_support.h"

namespace output_tests {
namespace {

const std::string device = harness::sourceDir() + "/examples/device.json";

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

// Stores the values as root.T.V0, V1, ... in a fresh store, runs the words
// that write them out and then the reader, and returns what the reader
// wrote to got0, got1, ...
Lines read_back(const Lines &values, const Lines &write, const std::string &reader) {
    harness::TempDir dir;
    json items = json::array();
    Lines args = {"readgroupfile", dir.file("group.json")};
    for (size_t i = 0; i < values.size(); i++) {
        items.push_back({{"parameter", "V" + std::to_string(i)}});
        args.insert(args.end(), {"set", "root.T.V" + std::to_string(i), values[i]});
    }
    harness::writeFile(dir.file("group.json"),
                       json{{"groups", {{{"group", "root.T"}, {"items", items}}}}}.dump());
    args.insert(args.end(), write.begin(), write.end());
    harness::Result result = program_run::run_on(dir.file("store.db"), args, "", dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    int status = -1;
    harness::shell("cd " + dir.path() + " && " + reader, &status);
    EXPECT_EQ(status, 0) << reader;
    Lines got;
    for (size_t i = 0; i < values.size(); i++)
        got.push_back(harness::readFile(dir.file("got" + std::to_string(i))));
    return got;
}

// The code for each number below count, joined.
std::string for_each(size_t count, const std::function<std::string(const std::string &)> &code) {
    std::string all;
    for (size_t i = 0; i < count; i++)
        all += code(std::to_string(i));
    return all;
}

const Lines trickyValues = {"", "'", "''", "it's", "a\"b\\c",
                            "line\n", "\\\"", "{x}", "a&b", "<b>&"};

TEST(Consumers, ShellsRecoverEveryByteOfScriptOutput) {
    Lines values = trickyValues;
    values.push_back(all_bytes());
    values.push_back("$HOME `id` $(id)");
    std::string script = ". ./out.sh" + for_each(values.size(), [](const std::string &i) {
                             return "; printf %s \"$root_T_V" + i + "\" > got" + i;
                         });
    for (const char *shell : {"dash", "bash"})
        EXPECT_EQ(read_back(values, {"getgroup", "root.T", "out.sh", "SCRIPT"},
                            "LC_ALL=C " + std::string(shell) + " -c '" + script + "'"),
                  values)
            << shell;
}

TEST(Consumers, PhpRecoversValuesWithoutDollarSigns) {
    Lines values = trickyValues;
    values.push_back(without(all_bytes(), '$'));
    values.push_back("cost: $HOME");
    Lines expected = values;
    expected.back() = "cost: "; // PHP interpolates "$" inside double quotes.
    // getgroup ends the file with "?>", get without it: PHP reads both.
    std::string code = "include \"out.php\"; include \"single.php\";" +
                       for_each(values.size(), [](const std::string &i) {
                           return " file_put_contents(\"got" + i + "\", $root_T_V" + i + ");";
                       });
    EXPECT_EQ(read_back(values,
                        {"getgroup", "root.T", "out.php", "PHP", "get", "root.T.V0", "single.php",
                         "PHP"},
                        "php -d error_reporting=0 -r '" + code + "'"),
              expected);
}

TEST(Consumers, HtmlParserRecoversFormValuesWithoutSingleQuotes) {
    Lines values;
    for (const std::string &value : trickyValues)
        if (value.find('\'') == std::string::npos)
            values.push_back(value);
    values.push_back(without(all_bytes(), '\''));
    values.push_back("a&amp;b");
    Lines expected = values;
    expected.back() = "a&b"; // HTML decodes character references
    // Each field, named conf_T_V<n>, goes to got<n>.
    const std::string reader = R"(python3 -c 'from html.parser import HTMLParser
class Fields(HTMLParser):
    def handle_starttag(self, tag, attrs):
        fields = dict(attrs)
        open("got" + fields["name"][8:], "wb").write(fields["value"].encode("latin-1"))
parser = Fields()
parser.feed(open("out.html", "rb").read().decode("latin-1"))
parser.close()')";
    EXPECT_EQ(read_back(values, {"getgroup", "root.T", "out.html", "FORM"}, reader), expected);
}

TEST(Consumers, SectionsListingShowsTheWholeExampleDevice) {
    harness::TempDir dir;
    harness::Result result =
        program_run::run_on(dir.file("store.db"), {"readgroupfile", device, "getgroup", "root", "-",
                                                   "NAMEVALUESECTIONS"});
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
    harness::Result result = program_run::run_on(
        dir.file("store.db"),
        {"readgroupfile", device, "addgroup", "root.Badge", "badge", "addgroup", "root.Badge",
         "badge", "getgrouplist", "root.Badge", "list.txt", "VALUE", "getgrouplist", "root.Badge",
         "sections.txt", "NAMEVALUESECTIONS", "getgrouplist", "root.Brand"},
        "", dir.path());
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
