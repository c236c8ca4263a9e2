/* What any client pays to answer the program's two commonest calls straight
 * from the store file with libsqlite3, with nothing of the store library:
 *   sqlite_floor STORE get FOLDED-NAME   one row by its lower-cased name
 *   sqlite_floor STORE list FILE         one row for each name in FILE, a line each
 *   sqlite_floor STORE walk              every parameter in listing order
 * It opens the file as the store does (the log kept between processes),
 * writes what it reads to standard output, and exits without closing, as a
 * reader of the store does. */
#include <ctype.h>
#include <sqlite3.h>
#include <stdio.h>
#include <string.h>

static const char getSql[] = "SELECT value FROM items WHERE folded = ?1";
static const char walkSql[] =
    "SELECT name, value FROM items WHERE path > x'' AND path < x'ff' AND is_group = 0"
    " ORDER BY path";

/* Answers the point query for each name in the file, lower-cased as the
 * store folds names. */
static int readList(sqlite3_stmt *statement, const char *path) {
    FILE *names = fopen(path, "r");
    char name[512];
    if (!names) {
        perror(path);
        return 1;
    }
    while (fgets(name, sizeof name, names)) {
        name[strcspn(name, "\n")] = '\0';
        for (char *c = name; *c; ++c)
            *c = (char)tolower((unsigned char)*c);
        sqlite3_bind_text(statement, 1, name, -1, SQLITE_STATIC);
        if (sqlite3_step(statement) == SQLITE_ROW)
            printf("%s=\"%s\"\n", name, (const char *)sqlite3_column_text(statement, 0));
        sqlite3_reset(statement);
    }
    fclose(names);
    return 0;
}

int main(int argc, char **argv) {
    int walk = argc == 3 && strcmp(argv[2], "walk") == 0;
    int list = argc == 4 && strcmp(argv[2], "list") == 0;
    if (!walk && !list && !(argc == 4 && strcmp(argv[2], "get") == 0)) {
        fputs("usage: sqlite_floor STORE get FOLDED-NAME | sqlite_floor STORE list FILE | sqlite_floor STORE walk\n",
              stderr);
        return 2;
    }
    sqlite3 *db = NULL;
    sqlite3_stmt *statement = NULL;
    int persist = 1;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, NULL) != SQLITE_OK ||
        sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist) != SQLITE_OK ||
        sqlite3_prepare_v2(db, walk ? walkSql : getSql, -1, &statement, NULL) != SQLITE_OK) {
        fprintf(stderr, "sqlite_floor: %s\n", sqlite3_errmsg(db));
        return 1;
    }
    if (list)
        return readList(statement, argv[3]);
    if (!walk)
        sqlite3_bind_text(statement, 1, argv[3], -1, SQLITE_STATIC);
    int result;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
        const unsigned char *value = sqlite3_column_text(statement, walk ? 1 : 0);
        if (walk)
            printf("%s=", (const char *)sqlite3_column_text(statement, 0));
        printf("\"%s\"\n", value ? (const char *)value : "");
    }
    if (result != SQLITE_DONE) {
        fprintf(stderr, "sqlite_floor: %s\n", sqlite3_errmsg(db));
        return 1;
    }
    return 0;
}
