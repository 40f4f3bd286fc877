# The scrambled literals: settings/scrambled-values.txt.in (with the build settings
# filled in) is encoded by a host program into scrambled_texts.h.
set(ORMVEX_HOST_CXX "c++" CACHE STRING "C++ compiler of the build host, for build-time tools")
set(ORMVEX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${ORMVEX_GENERATED_DIR})
configure_file(${CMAKE_SOURCE_DIR}/settings/scrambled-values.txt.in
               ${ORMVEX_GENERATED_DIR}/scrambled-values.txt @ONLY)

set(ORMVEX_ENCODER ${CMAKE_BINARY_DIR}/host-tools/encode_scrambled)
add_custom_command(
  OUTPUT ${ORMVEX_ENCODER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
  COMMAND ${ORMVEX_HOST_CXX} -std=c++17 -O2 -Wall -Wextra
          -o ${ORMVEX_ENCODER} ${CMAKE_SOURCE_DIR}/tools/scramble/encode_scrambled.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/scramble/encode_scrambled.cpp
  COMMENT "Building the scrambled-text encoder for the build host")
add_custom_command(
  OUTPUT ${ORMVEX_GENERATED_DIR}/scrambled_texts.h
  COMMAND ${ORMVEX_ENCODER} ${ORMVEX_GENERATED_DIR}/scrambled-values.txt
          ${ORMVEX_GENERATED_DIR}/scrambled_texts.h
  DEPENDS ${ORMVEX_ENCODER} ${ORMVEX_GENERATED_DIR}/scrambled-values.txt
  COMMENT "Encoding the scrambled texts")
add_custom_target(scrambled_texts DEPENDS ${ORMVEX_GENERATED_DIR}/scrambled_texts.h)
