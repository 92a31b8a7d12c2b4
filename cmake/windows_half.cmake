# The Windows half: the same sources configured with the MinGW toolchain in
# win/, built on every build of the native tree, its programs run under Wine.
include(ExternalProject)

set(VJ_WIN_BINARY_DIR ${CMAKE_BINARY_DIR}/win)
set(VJ_WIN_BIN ${VJ_WIN_BINARY_DIR}/bin)
ExternalProject_Add(windows_half
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${VJ_WIN_BINARY_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release -G Ninja
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
  INSTALL_COMMAND "")

# Registers a Windows test program of the win/ tree as a ctest test run
# under Wine. Wine tests share one prefix and the simulated ports, so they
# run one at a time.
function(vj_add_wine_test name target)
  add_test(NAME ${name}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/run-under-wine.sh ${VJ_WIN_BIN}/${target}.exe ${ARGN})
  set_tests_properties(${name} PROPERTIES
    RESOURCE_LOCK wine
    TIMEOUT 900
    LABELS wine
    ENVIRONMENT "VJ_BUILD_DIR=${CMAKE_BINARY_DIR};VJ_SIM=$<TARGET_FILE:instrument_sim>")
endfunction()
