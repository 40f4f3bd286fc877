# ormvex_program(NAME [WINDOWED] SOURCES ... [LIBS ...] [OUTPUT_NAME name])
# A Windows program, copied to dist/<arch>/ after each build.
function(ormvex_program name)
  cmake_parse_arguments(P "WINDOWED" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${P_SOURCES})
  if(P_WINDOWED)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  if(P_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${P_OUTPUT_NAME})
  endif()
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORMVEX_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${name}> ${ORMVEX_DIST_DIR}/)
endfunction()
