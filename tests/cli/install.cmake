# The installed tree: every file in place, and the installed orvane-cli runs on the sample.
get_property(man GLOBAL PROPERTY ORVANE_MAN_PAGE)
add_test(NAME install_into_prefix
  COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR} -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/install-check
          -DBUILD_CLI=${ORVANE_CLI} -DUI=${ORVANE_BUILD_UI} -DMAN=${man} -P ${PROJECT_SOURCE_DIR}/packaging/check-install.cmake)
set_tests_properties(install_into_prefix PROPERTIES TIMEOUT 120)
