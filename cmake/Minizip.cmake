# Minizip's unzip interface, compiled from the zlib source package that
# scripts/setup.sh fetches, against the MinGW-w64 zlib.
file(GLOB_RECURSE ORMVEX_MINIZIP_UNZIP "${ORMVEX_DEPS_DIR}/zlib/*/contrib/minizip/unzip.c")
if(NOT ORMVEX_MINIZIP_UNZIP)
  message(FATAL_ERROR "minizip sources missing: run scripts/setup.sh first")
endif()
list(GET ORMVEX_MINIZIP_UNZIP 0 ORMVEX_MINIZIP_UNZIP)
get_filename_component(ORMVEX_MINIZIP_DIR "${ORMVEX_MINIZIP_UNZIP}" DIRECTORY)

find_library(ORMVEX_ZLIB NAMES libz.a z REQUIRED)
add_library(minizip STATIC
  ${ORMVEX_MINIZIP_DIR}/unzip.c
  ${ORMVEX_MINIZIP_DIR}/ioapi.c
  ${ORMVEX_MINIZIP_DIR}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${ORMVEX_MINIZIP_DIR})
target_link_libraries(minizip PUBLIC ${ORMVEX_ZLIB})
# Third-party code: its own warnings are not ours to fix.
target_compile_options(minizip PRIVATE -w)
