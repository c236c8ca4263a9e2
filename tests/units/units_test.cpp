// Units of the program's readers and writer of parameter files and complex
// values, as tables played like the store's (texts and trees as JSON), with
// trees built by the store library's own calls.
#include <sys/mman.h>
#include <unistd.h>

#include <random>

#include "input/complex_value.h"
#include "input/logical_lines.h"
#include "input/setting_value.h"
#include "input/token_scanner.h"
#include "output/complex_render.h"
#include "store_table.h"

namespace {

class Units : public StoreTable {
  protected:
    std::string run(const std::string &call) override {
        // The argument is JSON, but for the store's own calls (discarded then).
        std::string verb = call.substr(0, call.find(' ')), text;
        Json argument = Json::parse(call.substr(verb.size()), nullptr, false);
        if (argument.is_string())
            text = argument.get<std::string>();
        // every logical line, "+" before a complex one; or the buffer's usable
        // size and the memory behind it after them
        if (verb == "lines" || verb == "buffer") {
            FILE *stream = fmemopen(text.data(), text.size(), "r");
            Json lines = Json::array();
            logical_line_reader reader;
            start_logical_lines(&reader, stream ? stream : std::fopen("/dev/null", "r"));
            while (!std::feof(reader.stream) && read_logical_line(&reader))
                lines.push_back((reader.complex ? "+" : "") +
                                std::string(reader.buffer, reader.length));
            std::fclose(reader.stream);
            if (verb == "buffer")
                lines = {reader.capacity, reader.allocated};
            return finish_logical_lines(&reader), lines.dump();
        }
        if (verb == "value") { // converted, and as --restore keeps it
            char *converted = convert_setting_value(text.c_str(), true);
            char *restored = convert_setting_value(text.c_str(), false);
            std::string values = Json::array({converted, restored}).dump();
            return std::free(converted), std::free(restored), values;
        }
        // Into a stored tree: whether it was read, the stored tree, the messages.
        if (verb == "merge" || verb == "parse") {
            DataNode *stored = verb == "merge" ? tree_of(Json::parse(zones)) : nullptr;
            char *cursor = text.data();
            testing::internal::CaptureStdout();
            DataNode *read = parse_complex_value(&cursor, stored, "Zones", 0);
            std::string printed = (std::fflush(stdout), testing::internal::GetCapturedStdout());
            if (!stored)
                return (read ? show(read) : "(none)") + (cursor ? " (more)" : "");
            return (read ? "read " : "failed ") + show(stored) + " " + Json(printed).dump();
        }
        if (verb == "render")
            return Json(render(tree_of(argument))).dump();
        return StoreTable::run(call);
    }

    static std::string render(DataNode *tree) {
        std::string text;
        render_complex_value(text, tree, "Zones", 1);
        return text;
    }

    const char *zones = R"({"mode":"manual","ports":["1","2"],"rules":{"allow":"all"}})";
};

TEST_F(Units, Tables) {
    play_tables("units");
}

// What only a device's own library hands out: nodes of no or unknown kind
// or subtype, null texts and keys.
TEST_F(Units, RendererWritesWhatNoStoreHandsOut) {
    DataNode *hash = tree_of(Json::parse(R"({"":"v","odd":1,"gap":1,"list":[1,"a","b",2]})"));
    HashEntry *entry = hash->u.hash.firstEntry;
    ListCell *cell = entry->next->next->next->value->u.list.firstCell;
    entry->key = nullptr;
    entry->next->value->kind = 9;
    entry->next->next->value = nullptr;
    cell->value = nullptr;
    cell->next->value->u.scalar.subtype = SCALAR_STRING;
    cell->next->next->value->u.scalar.value.string = nullptr;
    cell->next->next->next->value->u.scalar.subtype = 7;
    EXPECT_EQ(render(hash),
              "\t =  [ \"v\"  ] \nZones.odd \t =  { NONE }\nZones.gap \t =  { NONE }\n"
              "Zones.list \t =  ( { NONE } [ \"a\"  ]  [ \"\"  ]  [  ]  )\n");
    EXPECT_EQ(render(nullptr), " { NONE }");
}

// Random texts and sequences of tokens and remainders cut and give what
// the C library's strtok does (a remainder is a token of no separators).
TEST(TokenScanner, BehavesLikeTheCLibraryTokenizer) {
    std::mt19937 random(12345);
    const char alphabet[] = " \t\n={}[]()\"ab",
               *separatorSets[] = {" \t\n=", " \t\n={", "\"", "\n", ""};
    for (int round = 0; round < 3000; round++) {
        std::string ours(random() % 24, ' '), theirs;
        for (char &c : ours)
            c = alphabet[random() % (sizeof alphabet - 1)];
        token_scanner scanner = {nullptr};
        for (int step = 0, start = 0; step < 8;
             step++, start = random() % 3 ? -1 : random() % (ours.size() + 1)) {
            const char *separators = separatorSets[random() % 5];
            bool remainder = start < 0 && random() % 4 == 0;
            theirs = step ? theirs : ours;
            char *mine = remainder
                             ? take_remainder(&scanner)
                             : take_token(&scanner, start < 0 ? nullptr : &ours[start], separators);
            char *library =
                std::strtok(start < 0 ? nullptr : &theirs[start], remainder ? "" : separators);
            ASSERT_EQ(mine ? mine - ours.data() : -1, library ? library - theirs.data() : -1)
                << round << " " << step;
            ASSERT_EQ(ours, theirs) << round << " " << step;
        }
    }
}

// A parse takes the remainder at every level of a value: scanning it would
// make deep values cost their depth times their length. Here the text runs
// into a page that cannot be read.
TEST(TokenScanner, TheRemainderIsTakenWithoutScanningIt) {
    long page = sysconf(_SC_PAGESIZE);
    auto *text = static_cast<char *>(
        mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_EQ(mprotect(text + page, page, PROT_NONE), 0);
    std::memset(text, 'x', page);
    token_scanner scanner = {text}; // as after a token, without a string function on the text
    EXPECT_EQ(take_remainder(&scanner), text);
    EXPECT_EQ(take_token(&scanner, nullptr, " "), nullptr);
    munmap(text, 2 * page);
}

} // namespace
