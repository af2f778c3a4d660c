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

# trovanta_bitmap_resources(<target> <NAME> <file.png> [<NAME> <file.png> ...])
# Embeds PNG images in <target> as bitmap resources of the add-in framework, registered under
# their names when the library is loaded (see addin_framework/axpResources.h).
function(trovanta_bitmap_resources target)
  set(pairs "")
  set(files "")
  set(args ${ARGN})
  list(LENGTH args count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} name)
    list(GET args ${j} file)
    get_filename_component(file ${file} ABSOLUTE)
    string(APPEND pairs "${name}|${file}|")
    list(APPEND files ${file})
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_bitmaps.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${out} -DRESOURCES=${pairs} -P ${CMAKE_SOURCE_DIR}/cmake/EmbedBitmaps.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/EmbedBitmaps.cmake
    COMMENT "Embedding the bitmap resources of ${target}" VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
