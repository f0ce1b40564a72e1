# One version for the whole suite: project() sets it, the programs read it
# from a generated header, the manual pages and the package from CMake.
configure_file(${CMAKE_CURRENT_LIST_DIR}/program_version.h.in
               ${CMAKE_BINARY_DIR}/generated/program_version.h @ONLY)
add_library(program_version INTERFACE)
target_include_directories(program_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

foreach(program IN LISTS PRAVIK_PROGRAMS)
  target_link_libraries(${program} PRIVATE program_version)
endforeach()
