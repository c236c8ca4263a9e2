# Cross-builds for 32-bit ARM Linux (hard float) with Debian's cross compiler
# and the armhf libraries of Debian's multiarch. Programs built here run on
# this machine through qemu-user (tools/test-armhf.sh).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
# Everything here is built by one compiler: notes about parameter passing
# that changed since GCC 7 concern nothing we link.
set(CMAKE_CXX_FLAGS_INIT -Wno-psabi)

# ctest and gtest_discover_tests start the test programs through this.
find_program(KELBRIN_QEMU_ARM NAMES qemu-arm-static qemu-arm)
if(KELBRIN_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KELBRIN_QEMU_ARM})
endif()

# Only armhf libraries may be found: the cross compiler searches the
# multiarch folders itself, and pkg-config must not offer the host's.
# SQLite's header is the same on every architecture; when only the armhf
# runtime library is installed (its -dev package cannot always be installed
# beside the host's), a description of that library of our own stands in.
set(_kelbrin_pkgconfig_path /usr/lib/arm-linux-gnueabihf/pkgconfig /usr/share/pkgconfig)
if(NOT EXISTS /usr/lib/arm-linux-gnueabihf/pkgconfig/sqlite3.pc)
  list(PREPEND _kelbrin_pkgconfig_path ${CMAKE_CURRENT_LIST_DIR}/armhf-pkgconfig)
endif()
list(JOIN _kelbrin_pkgconfig_path ":" _kelbrin_pkgconfig_path)
set(ENV{PKG_CONFIG_LIBDIR} "${_kelbrin_pkgconfig_path}")
