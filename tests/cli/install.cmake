# The installed tree, as the README installs it: every file in place, the installed
# orvane-cli runs on the sample, and python3 imports the module with no PYTHONPATH.
get_property(man GLOBAL PROPERTY ORVANE_MAN_PAGE)
set(python "")
if(ORVANE_PYTHON_FOUND)
  set(python ${Python_EXECUTABLE})
endif()
add_test(NAME install_into_prefix
  COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR} -DWORK=${CMAKE_CURRENT_BINARY_DIR}/install-check
          -DBUILD_CLI=${ORVANE_CLI} -DUI=${ORVANE_BUILD_UI} -DMAN=${man} -DPYTHON=${python}
          -P ${PROJECT_SOURCE_DIR}/packaging/check-install.cmake)
set_tests_properties(install_into_prefix PROPERTIES TIMEOUT 120)

# The man pages name every subcommand and option of orvane-cli's --help.
add_test(NAME man_pages_name_every_option
  COMMAND ${CMAKE_COMMAND} -DCLI=${ORVANE_CLI} -DMAN_DIR=${PROJECT_SOURCE_DIR}/packaging/man
          -P ${PROJECT_SOURCE_DIR}/packaging/check-man.cmake)
