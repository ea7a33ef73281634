# SQLite, built from its amalgamation with the project's toolchain, for the cleaner's row-level
# work on browsers' databases. The amalgamation comes from a pinned npm package that carries it
# (deps/sqlite3/sqlite3.c and sqlite3.h): npm fetches it from its configured registry at configure
# time into the build folder, its SHA-256 is checked, and nothing of it enters the source tree.
set(QUENZO_SQLITE_PACKAGE "better-sqlite3@12.11.1")
set(QUENZO_SQLITE_TARBALL_SHA256 "ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835")
set(QUENZO_SQLITE_DIR "${CMAKE_BINARY_DIR}/sqlite")

if(NOT EXISTS "${QUENZO_SQLITE_DIR}/sqlite3.c" OR NOT EXISTS "${QUENZO_SQLITE_DIR}/sqlite3.h")
  find_program(QUENZO_NPM npm)
  if(NOT QUENZO_NPM)
    message(FATAL_ERROR "npm is needed to fetch SQLite's sources (${QUENZO_SQLITE_PACKAGE}); "
      "install it (Debian: apt-get install npm) and configure again.")
  endif()
  set(download "${QUENZO_SQLITE_DIR}/download")
  file(REMOVE_RECURSE "${download}")
  file(MAKE_DIRECTORY "${download}")
  execute_process(COMMAND "${QUENZO_NPM}" pack "${QUENZO_SQLITE_PACKAGE}" --silent
    WORKING_DIRECTORY "${download}" RESULT_VARIABLE failed OUTPUT_VARIABLE tarball
    ERROR_VARIABLE npm_errors OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed OR NOT EXISTS "${download}/${tarball}")
    message(FATAL_ERROR "npm pack ${QUENZO_SQLITE_PACKAGE} failed: ${npm_errors}")
  endif()
  file(SHA256 "${download}/${tarball}" actual)
  if(NOT actual STREQUAL QUENZO_SQLITE_TARBALL_SHA256)
    message(FATAL_ERROR "${tarball} has SHA-256 ${actual}, expected ${QUENZO_SQLITE_TARBALL_SHA256}; refusing it.")
  endif()
  file(ARCHIVE_EXTRACT INPUT "${download}/${tarball}" DESTINATION "${download}"
    PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
  foreach(source sqlite3.c sqlite3.h)
    file(RENAME "${download}/package/deps/sqlite3/${source}" "${QUENZO_SQLITE_DIR}/${source}")
  endforeach()
  file(REMOVE_RECURSE "${download}")
endif()

# One compile of the amalgamation, C only (the code page 949 flags are for our C++). The cleaner
# uses one connection at a time on one thread; extensions are never loaded.
add_library(sqlite3 STATIC "${QUENZO_SQLITE_DIR}/sqlite3.c")
target_include_directories(sqlite3 SYSTEM PUBLIC "${QUENZO_SQLITE_DIR}")
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=2 SQLITE_OMIT_LOAD_EXTENSION SQLITE_OMIT_DEPRECATED
  SQLITE_OMIT_SHARED_CACHE SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_DQS=0)
if(NOT MSVC)
  target_compile_options(sqlite3 PRIVATE -O2 -w)
endif()
