#include "store_table.h"

TEST_F(StoreTable, Tables) {
    for (const char *table :
         {"names_and_listings", "access_and_mapping", "group_files", "dynamic_groups", "listing_order", "bad_input"})
        play_table("store/" + std::string(table) + ".txt");
}
