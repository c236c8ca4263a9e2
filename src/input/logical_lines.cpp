#include "input/logical_lines.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "input/buffer_growth.h"

// The buffer starts at this size and grows by the step whenever a logical
// line needs more room; how much of a long line one read takes depends on
// both, and so does which braces of it are counted.
static const size_t firstCapacity = 512;
static const size_t capacityStep = 128;

bool start_logical_lines(logical_line_reader *reader, FILE *stream) {
    reader->stream = stream;
    reader->buffer = static_cast<char *>(std::malloc(firstCapacity));
    reader->capacity = firstCapacity;
    reader->allocated = firstCapacity;
    reader->length = 0;
    reader->complex = false;
    if (reader->buffer == nullptr)
        return false;
    reader->buffer[0] = '\0';
    return true;
}

void finish_logical_lines(logical_line_reader *reader) {
    std::free(reader->buffer);
    reader->buffer = nullptr;
}

// A brace counts unless escaped by a backslash or preceded by a double quote
// in the same piece.
static bool brace_counts(const char *buffer, const char *piece, const char *brace) {
    if (brace > buffer && brace[-1] == '\\')
        return false;
    return std::memchr(piece, '"', brace - piece) == nullptr;
}

static bool is_complete(const logical_line_reader *reader, int braceCount) {
    const char *text = reader->buffer;
    size_t length = reader->length;
    if (length == 0 || text[length - 1] != '\n' || braceCount != 0)
        return false;
    return !(length >= 3 && text[length - 3] == '\\' && text[length - 2] == '\\');
}

bool read_logical_line(logical_line_reader *reader) {
    reader->length = 0;
    reader->buffer[0] = '\0';
    reader->complex = false;
    int braceCount = 0;
    for (;;) {
        char *piece = reader->buffer + reader->length;
        // At least two bytes are free here: a cut frees the "#" at least, a
        // growth a whole step. Beyond INT_MAX a line is read in more pieces.
        size_t room = reader->capacity - reader->length;
        if (std::fgets(piece, room > INT_MAX ? INT_MAX : static_cast<int>(room), reader->stream) ==
            nullptr) {
            *piece = '\0'; // after a read error the piece is undefined
            return true;
        }
        // A NUL byte ends the piece's text; what follows it in the piece is lost.
        size_t pieceLength = std::strlen(piece);
        reader->length += pieceLength;
        if (std::feof(reader->stream))
            return true; // the file's last line: not examined further
        const char *open = std::strchr(piece, '{');
        if (open != nullptr && brace_counts(reader->buffer, piece, open)) {
            braceCount++;
            reader->complex = true;
        }
        const char *close = std::strchr(piece, '}');
        if (close != nullptr && brace_counts(reader->buffer, piece, close))
            braceCount--;
        if (is_complete(reader, braceCount))
            return true;
        char *comment = static_cast<char *>(std::memchr(piece, '#', pieceLength));
        if (comment != nullptr) {
            *comment = '\0';
            reader->length = comment - reader->buffer;
            continue;
        }
        if (!grow_buffer(&reader->buffer, &reader->capacity, &reader->allocated, capacityStep))
            return false;
    }
}
