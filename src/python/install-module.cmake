# Runs at install time, when the prefix is known: puts the package `orvane` in the folder
# that python3 searches for that prefix (/usr/local -> /usr/local/lib/python3.X/dist-packages,
# ~/.local -> the user site), or in <prefix>/lib/python3.X/site-packages and says that
# PYTHONPATH must name it.
if(NOT EXISTS "${ORVANE_PY_MODULE}")
  message(STATUS "Python module not built, not installed (ninja orvane_python builds it)")
  return()
endif()
execute_process(
  COMMAND "${ORVANE_PY_EXE}" -c [=[
import os, site, sys, sysconfig
prefix = os.path.realpath(sys.argv[1])
searched = {os.path.realpath(p) for p in sys.path if p}
if site.ENABLE_USER_SITE:
    searched.add(os.path.realpath(site.getusersitepackages()))
for scheme in sysconfig.get_scheme_names():
    path = os.path.realpath(sysconfig.get_path("purelib", scheme))
    if path in searched and path.startswith(prefix + os.sep):
        print(path + ";searched", end="")
        break
else:
    print(sysconfig.get_path("purelib", "posix_prefix", vars={"base": prefix, "platbase": prefix}), end="")
]=] "${CMAKE_INSTALL_PREFIX}"
  OUTPUT_VARIABLE found RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR found STREQUAL "")
  message(FATAL_ERROR "${ORVANE_PY_EXE} could not name a folder for the Python module")
endif()
list(GET found 0 dir)
file(GLOB sources "${ORVANE_PY_SOURCES}/*.py")
file(INSTALL ${sources} "${ORVANE_PY_MODULE}" DESTINATION "${dir}/orvane")
if(NOT found MATCHES ";searched$")
  message(STATUS "Python module in ${dir}/orvane: python3 does not search there, so run it "
                 "with PYTHONPATH=${dir}")
endif()
