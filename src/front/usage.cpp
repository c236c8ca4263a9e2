#include "front/usage.h"

#include <unistd.h>

static const char usageText[] =
    "Usage: kelbrinclient [--nolog] [--nocgi] [--nosync] [--nosync-nosig] [--sync-nosig] "
    "[--sigonly] [--port <port>] [--security <level>] [--casesensitive] [--showaccess] "
    "[--restore] [--no-mapped] <commands>\n"
    "commands are: set <name> <value>\n"
    "              get <name> [<file> [<type>]]\n"
    "              getgroup <group> [<file> [<type>]]\n"
    "              getgrouplist <group> [<file> [<type>]]\n"
    "              getlist <infile> <outfile> <type>\n"
    "              addgroup <group> [--number <number>] <template>\n"
    "              deletegroup <group>\n"
    "              readgroupfile <file>\n"
    "              setparams <file>\n"
    "              upgradedynparams <directory | filename>\n"
    "              sync\n"
    " type can be SCRIPT, VALUE, NAMEVALUE, NAMEVALUESECTIONS, PHP, FORM, RAW\n"
    " file '-' is stdin/stdout\n";
static_assert(sizeof usageText - 1 == 763, "scripts expect the usage text in one write of 763 bytes");

void usage() {
    // One write, as scripts capturing standard error expect it whole.
    ssize_t written = write(STDERR_FILENO, usageText, sizeof usageText - 1);
    (void)written; // nothing more can be reported when standard error fails
}
