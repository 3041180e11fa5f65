# Installs the build in BUILD as the README says, `cmake --install BUILD --prefix ~/.local`,
# with HOME a fresh folder under WORK; checks the files, runs the installed orvane-cli on
# the installed sample profile (its report must be the build tree's, byte for byte), and
# imports the installed Python module with Debian's python3 and no PYTHONPATH.
# cmake -DBUILD=<build dir> -DWORK=<scratch dir> -DBUILD_CLI=<orvane-cli> -DUI=ON|OFF
#       -DMAN=ON|OFF [-DPYTHON=/usr/bin/python3] -P check-install.cmake
file(REMOVE_RECURSE ${WORK})
set(home ${WORK}/home)
set(PREFIX ${home}/.local)
file(MAKE_DIRECTORY ${home})
set(env ${CMAKE_COMMAND} -E env --unset=PYTHONPATH --unset=PYTHONUSERBASE --unset=PYTHONNOUSERSITE HOME=${home})
execute_process(COMMAND ${env} ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${out}${err}")
endif()

set(doc share/doc/orvane)
set(expected bin/orvane-cli ${doc}/README.md ${doc}/copyright ${doc}/changelog.gz
  ${doc}/examples/profile.csv ${doc}/examples/offshore.tsd ${doc}/examples/tide.tsd)
if(MAN)
  list(APPEND expected share/man/man1/orvane-cli.1.gz share/man/man1/orvane.1.gz
    share/man/ja/man1/orvane-cli.1.gz share/man/ja/man1/orvane.1.gz)
endif()
if(UI)
  list(APPEND expected bin/orvane share/applications/orvane.desktop
    share/icons/hicolor/scalable/apps/orvane.svg share/icons/hicolor/48x48/apps/orvane.png)
endif()
# Every picture the installed README shows.
file(STRINGS ${PREFIX}/${doc}/README.md lines REGEX "\\]\\([^)]+\\.png\\)")
foreach(line ${lines})
  string(REGEX MATCHALL "\\]\\([^)]+\\.png\\)" links "${line}")
  foreach(link ${links})
    string(REGEX REPLACE "^\\]\\((.*)\\)$" "\\1" picture "${link}")
    list(APPEND expected ${doc}/${picture})
  endforeach()
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(UI AND DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/orvane.desktop
    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()

execute_process(COMMAND ${PREFIX}/bin/orvane-cli --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^orvane-cli \\(Orvane\\) [0-9]")
  message(FATAL_ERROR "--version: ${rc} ${version}")
endif()

set(args shoal --method 1 --points 100,300,600 --h0 2 --t0 9 --profile)
execute_process(COMMAND ${PREFIX}/bin/orvane-cli ${args} ${PREFIX}/${doc}/examples/profile.csv
  OUTPUT_VARIABLE installed RESULT_VARIABLE rc)
execute_process(COMMAND ${BUILD_CLI} ${args} ${PREFIX}/${doc}/examples/profile.csv
  OUTPUT_VARIABLE built)
if(NOT rc EQUAL 0 OR NOT installed MATCHES "有義波高" OR NOT installed STREQUAL built)
  message(FATAL_ERROR "installed orvane-cli on the sample profile (rc ${rc}):\n${installed}")
endif()

if(PYTHON)
  execute_process(COMMAND ${env} ${PYTHON} -c "import orvane; print(orvane.__file__)"
    WORKING_DIRECTORY ${home} OUTPUT_VARIABLE module ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT module MATCHES "^${PREFIX}/lib/python3[.0-9]*/site-packages/orvane/__init__.py")
    message(FATAL_ERROR "python3 after installing into ~/.local (rc ${rc}): ${module}${err}")
  endif()
endif()
file(REMOVE_RECURSE ${WORK})
