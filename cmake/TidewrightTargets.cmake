# Shared build settings, applied per target rather than per directory.

add_library(tidewright_defaults INTERFACE)
target_compile_options(tidewright_defaults INTERFACE
  -Wall -Wextra -Wpedantic -Werror -Wsuggest-override
  # Geometry must compute the same on every machine: no fused multiply-add, never fast-math.
  -ffp-contract=off)

if(TIDEWRIGHT_SANITIZE)
  target_compile_options(tidewright_defaults INTERFACE
    -fsanitize=${TIDEWRIGHT_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(tidewright_defaults INTERFACE -fsanitize=${TIDEWRIGHT_SANITIZE})
endif()

# tidewright_sanitizer_suppressions(<executable>)
# Under ThreadSanitizer, builds the one suppression file (cmake/ThreadSanitizer.supp) into an
# executable; every test gets it through tidewright_test(), the program by this call.
set(TIDEWRIGHT_TSAN_SUPPRESSION_FILE ${CMAKE_CURRENT_LIST_DIR}/ThreadSanitizer.supp)
if(TIDEWRIGHT_SANITIZE MATCHES "thread")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TIDEWRIGHT_TSAN_SUPPRESSION_FILE})
  file(READ ${TIDEWRIGHT_TSAN_SUPPRESSION_FILE} TIDEWRIGHT_TSAN_SUPPRESSIONS)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/ThreadSanitizerSuppressions.cpp.in
                 ${CMAKE_BINARY_DIR}/ThreadSanitizerSuppressions.cpp @ONLY)
  add_library(tidewright_tsan_suppressions OBJECT ${CMAKE_BINARY_DIR}/ThreadSanitizerSuppressions.cpp)
  target_link_libraries(tidewright_tsan_suppressions PRIVATE tidewright_defaults)
endif()
function(tidewright_sanitizer_suppressions name)
  if(TARGET tidewright_tsan_suppressions)
    target_link_libraries(${name} PRIVATE tidewright_tsan_suppressions)
  endif()
endfunction()

# Strict Qt settings for every target that links Qt.
add_library(tidewright_qt_defaults INTERFACE)
target_compile_definitions(tidewright_qt_defaults INTERFACE
  QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_FOREACH
  QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# tidewright_test(<name> SOURCES ... [LIBS ...] [LABELS ...])
# One GoogleTest executable per module, its cases registered with CTest one by one. Discovery runs
# at test time so that building never starts a test binary (nor an X server).
function(tidewright_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main tidewright_defaults)
  tidewright_sanitizer_suppressions(${name})
  set(props)
  if(ARG_LABELS)
    set(props PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 30 ${props})
endfunction()
