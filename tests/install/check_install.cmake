# Installs the build into a fresh folder and checks that every program, desktop
# entry and icon is where a desktop looks for it.
set(prefix "${BINARY_DIR}/install-check")
file(REMOVE_RECURSE "${prefix}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BINARY_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(program pravik pravik-cli netkeel netkeel-cli slatepad ledboard-sim netmodule-sim
                pravikd)
  if(NOT EXISTS "${prefix}/bin/${program}")
    message(FATAL_ERROR "missing bin/${program}")
  endif()
endforeach()
# The service's files go under the prefix too, never into the system's /etc.
foreach(file lib/systemd/system/pravikd.service etc/pravik/pravikd.conf etc/pravik/fleet.txt
             etc/pravik/schedule.txt)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "missing ${file}")
  endif()
endforeach()
foreach(program pravik netkeel slatepad)
  file(READ "${prefix}/share/applications/${program}.desktop" entry)
  if(NOT entry MATCHES "\nExec=${program}" OR NOT entry MATCHES "\nIcon=${program}\n")
    message(FATAL_ERROR "${program}.desktop does not start ${program} with its icon")
  endif()
  if(NOT EXISTS "${prefix}/share/icons/hicolor/scalable/apps/${program}.svg")
    message(FATAL_ERROR "missing icon ${program}.svg")
  endif()
endforeach()
file(REMOVE_RECURSE "${prefix}")
