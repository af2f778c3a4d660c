# Helpers shared by every folder's CMakeLists.txt.
include(GoogleTest)

# add_unit_test(NAME <name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable whose tests ctest discovers one by one.
function(add_unit_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} trovanta_test_support GTest::gtest GTest::gmock)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "TROVANTA_BUILD_DIR=${CMAKE_BINARY_DIR};TROVANTA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# trovanta_server_library(<target>): an in-process server library that exports only its
# four entry points (DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer).
function(trovanta_server_library target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON PREFIX "lib")
  target_link_options(${target} PRIVATE
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/server.map -Wl,--no-undefined)
endfunction()

# add_qt_unit_test(NAME <name> SOURCES <files...> LIBS <targets...>)
# A GoogleTest executable for code that opens windows: its main creates a QApplication on the
# offscreen platform, and the scripted user interface is at hand.
function(add_qt_unit_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/ui/QtTestMain.cpp)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} trovanta_ui_test_support trovanta_test_support
    GTest::gtest GTest::gmock)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests AUTOMOC ON)
  gtest_discover_tests(${T_NAME}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "TROVANTA_BUILD_DIR=${CMAKE_BINARY_DIR};TROVANTA_SOURCE_DIR=${CMAKE_SOURCE_DIR};QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
