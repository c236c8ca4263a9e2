#include "store_table.h"

TEST_F(StoreTable, Tables) {
    play_tables("store");
}
