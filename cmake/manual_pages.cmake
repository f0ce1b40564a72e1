# Section 1 manual pages for every program, made again whenever the program
# changes, so that a page never tells of options its program no longer has.
find_program(HELP2MAN_EXECUTABLE help2man)
find_program(GZIP_EXECUTABLE gzip)
if(NOT HELP2MAN_EXECUTABLE OR NOT GZIP_EXECUTABLE)
  message(WARNING "help2man or gzip is missing: the manual pages are not made or installed")
  return()
endif()

set(manual_pages)
foreach(program IN LISTS PRAVIK_PROGRAMS)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  set(include ${PROJECT_SOURCE_DIR}/man/${program}.h2m)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DINCLUDE=${include}
            -DHELP2MAN=${HELP2MAN_EXECUTABLE} -DGZIP=${GZIP_EXECUTABLE} -DOUTPUT=${page}
            -DVERSION=${PROJECT_VERSION}
            -P ${CMAKE_CURRENT_LIST_DIR}/manual_page.cmake
    DEPENDS ${program} ${include} ${CMAKE_CURRENT_LIST_DIR}/manual_page.cmake
    COMMENT "Manual page ${program}(1)"
    VERBATIM)
  list(APPEND manual_pages ${page})
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${manual_pages})
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
