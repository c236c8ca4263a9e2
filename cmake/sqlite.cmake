# The store's SQLite, as the target kelbrin_sqlite3. By default Debian's
# static libsqlite3.a, linked into libkelbrin.so and kelbrinctl with its
# symbols kept inside: a short call then binds none of SQLite's symbols at
# start-up. KELBRIN_SHARED_SQLITE=ON links the system's libsqlite3.so
# instead, for distributions that forbid static copies.
option(KELBRIN_SHARED_SQLITE "Link the shared libsqlite3 instead of a static copy inside the store" OFF)
add_library(kelbrin_sqlite3 INTERFACE)
if(KELBRIN_SHARED_SQLITE)
  pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
  target_link_libraries(kelbrin_sqlite3 INTERFACE PkgConfig::SQLITE3)
  return()
endif()

# A cross build names its archive (tools/armhf-sqlite-archive.sh unpacks one).
find_library(KELBRIN_SQLITE3_ARCHIVE libsqlite3.a)
if(NOT KELBRIN_SQLITE3_ARCHIVE)
  message(FATAL_ERROR "No libsqlite3.a for this target: install its SQLite -dev package, pass "
                      "-DKELBRIN_SQLITE3_ARCHIVE=PATH, or build with -DKELBRIN_SHARED_SQLITE=ON")
endif()
# The header of the same package: PREFIX/include beside PREFIX/lib/ARCH/libsqlite3.a.
get_filename_component(_kelbrin_sqlite_prefix ${KELBRIN_SQLITE3_ARCHIVE} DIRECTORY)
get_filename_component(_kelbrin_sqlite_prefix ${_kelbrin_sqlite_prefix}/../.. ABSOLUTE)
if(NOT EXISTS ${_kelbrin_sqlite_prefix}/include/sqlite3.h)
  message(FATAL_ERROR "No sqlite3.h in ${_kelbrin_sqlite_prefix}/include beside ${KELBRIN_SQLITE3_ARCHIVE}")
endif()
find_package(Threads REQUIRED)
target_include_directories(kelbrin_sqlite3 SYSTEM INTERFACE ${_kelbrin_sqlite_prefix}/include)
target_link_libraries(kelbrin_sqlite3 INTERFACE ${KELBRIN_SQLITE3_ARCHIVE} m ${CMAKE_DL_LIBS} Threads::Threads)
message(STATUS "SQLite linked statically: ${KELBRIN_SQLITE3_ARCHIVE}")
