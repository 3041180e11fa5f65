# Installs the build in BUILD into a fresh prefix and runs the installed orvane-cli on the
# installed sample profile; its report must be the build tree's, byte for byte.
# cmake -DBUILD=<build dir> -DPREFIX=<scratch prefix> -DBUILD_CLI=<orvane-cli> -DUI=ON|OFF
#       -DMAN=ON|OFF -P check-install.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(expected bin/orvane-cli share/doc/orvane/README.md
  share/doc/orvane/examples/profile.csv share/doc/orvane/examples/offshore.tsd
  share/doc/orvane/examples/tide.tsd)
if(MAN)
  list(APPEND expected share/man/man1/orvane-cli.1.gz)
endif()
if(UI)
  list(APPEND expected bin/orvane share/applications/orvane.desktop
    share/icons/hicolor/scalable/apps/orvane.svg share/icons/hicolor/48x48/apps/orvane.png)
endif()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

execute_process(COMMAND ${PREFIX}/bin/orvane-cli --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^orvane-cli \\(Orvane\\) [0-9]")
  message(FATAL_ERROR "--version: ${rc} ${version}")
endif()

set(args shoal --method 1 --points 100,300,600 --h0 2 --t0 9 --profile)
execute_process(COMMAND ${PREFIX}/bin/orvane-cli ${args} ${PREFIX}/share/doc/orvane/examples/profile.csv
  OUTPUT_VARIABLE installed RESULT_VARIABLE rc)
execute_process(COMMAND ${BUILD_CLI} ${args} ${PREFIX}/share/doc/orvane/examples/profile.csv
  OUTPUT_VARIABLE built)
if(NOT rc EQUAL 0 OR NOT installed MATCHES "有義波高" OR NOT installed STREQUAL built)
  message(FATAL_ERROR "installed orvane-cli on the sample profile (rc ${rc}):\n${installed}")
endif()
file(REMOVE_RECURSE ${PREFIX})
