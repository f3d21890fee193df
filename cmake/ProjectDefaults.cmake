# Shared settings for every target of our own: warnings as errors and the chosen sanitizers.

include(${CMAKE_CURRENT_LIST_DIR}/StaticQtPlugins.cmake)

if(QF_SANITIZE STREQUAL "address")
  set(QF_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(QF_SANITIZE STREQUAL "thread")
  set(QF_SANITIZER_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT QF_SANITIZE STREQUAL "")
  message(FATAL_ERROR "QF_SANITIZE must be address, thread or empty, not '${QF_SANITIZE}'")
endif()
if(QF_SANITIZER_FLAGS)
  add_compile_options(${QF_SANITIZER_FLAGS})
  add_link_options(${QF_SANITIZER_FLAGS})
endif()

# A release build for Linux is hardened the way a distribution builds its packages: checked
# buffer functions and a read-only relocation table resolved at start.
if(UNIX AND NOT QF_SANITIZE AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  add_compile_options(-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
  add_link_options(-Wl,-z,relro,-z,now)
endif()

# Apply our warning policy to a target of our own (third-party code never gets -Werror).
function(qf_target_defaults target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Werror)
  endif()
endfunction()

# qf_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [NO_QT])
# One GoogleTest executable; every TEST in it becomes a ctest case. Qt tests get a main
# that creates a QApplication on the offscreen platform; NO_QT tests use gtest_main.
function(qf_add_test)
  cmake_parse_arguments(T "NO_QT" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  qf_target_defaults(${T_NAME})
  if(T_NO_QT)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} qf_test_main)
  endif()
  # Also for the tests with a main of their own that still build an application object (the
  # program's own, in the end-to-end tests): without the plugin a static Qt finds no platform.
  qf_import_static_qt_plugins(${T_NAME})
  # gtest_discover_tests splits list-valued properties at their ';', which would scatter several
  # labels over the property list. The labels go in as one comma-joined label instead; `ctest -L`
  # matches a regular expression, so `-L tsan` still selects a test labelled "hid,tsan".
  string(JOIN "," label ${T_LABELS})
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${label}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
