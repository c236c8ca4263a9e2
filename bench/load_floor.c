/* The start-up floor of the program: a process that loads the store library
 * the way kelbrinclient does, makes one call that touches no store, and
 * exits. What kelbrinclient takes beyond it is its own work and the store's. */
#include <kelbrin.h>

int main(void) {
    ClientOptions options;
    cli_resetOptions(&options);
    return options.syncMode == SYNC_DEFAULT ? 0 : 1;
}
