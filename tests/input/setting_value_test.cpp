#include "input/setting_value.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

struct value_case {
    const char *afterEquals;
    const char *converted;     // escapes converted
    const char *restored;      // with --restore
};

const value_case valueCases[] = {
    {" 9600\n", "9600", "9600"},
    {" \"Front door\"\n", "Front door", "Front door"},
    {" 5 # default\n", "5 # default", "5 # default"},
    {"a=b=c\n", "a=b=c", "a=b=c"},
    {" door-1   \n", "door-1", "door-1"},
    {" \"\n", "", ""},
    {" \"\" \n", "", ""},
    {" \"open\n", "open", "open"},
    {" closed\"\n", "closed", "closed"},
    {" \"\"both\"\"\n", "\"both\"", "\"both\""},
    {" \" padded \" \n", " padded ", " padded "},
    {" a\\nb\n", "a\nb", "a\\nb"},
    {" a\\tb\n", "atb", "a\\tb"},
    {" C:\\\\dir\n", "C:ir", "C:\\\\dir"},
    {" trailing\\\n", "trailing", "trailing\\"},
    {" ends in two\\\\\n", "ends in two", "ends in two\\\\"},
    {" first part \\\\\nsecond part\n", "first part second part", "first part \\\\\nsecond part"},
    {" \\\\n\n", "", "\\\\n"},
    {" tabs\t\r\n", "tabs", "tabs"},
    {"\n", "", ""},
};

TEST(SettingValue, QuotesBlanksAndEscapes) {
    for (const value_case &c : valueCases) {
        char *converted = convert_setting_value(c.afterEquals, true);
        char *restored = convert_setting_value(c.afterEquals, false);
        EXPECT_EQ(std::string(converted), c.converted) << "value text: " << c.afterEquals;
        EXPECT_EQ(std::string(restored), c.restored) << "value text: " << c.afterEquals;
        std::free(converted);
        std::free(restored);
    }
}

} // namespace
