# qvt_add_test(<name> LABEL <area>... SOURCES <files...> LIBS <targets...> [GUI] [SLOW] [TIMEOUT <s>])
# One executable per test file group, run by ctest with its area label. Tests run headless.
# GUI tests get a QApplication, the others a QCoreApplication (see tests/support).
# Test programs are compiled for compile speed: line tables only (-g1), enough for a
# debugger's backtrace and the sanitizers' traces (full debug information was a fifth of
# their compile time), and no optimisation: GoogleTest's templates at -O2 cost a test unit
# some 40 % more, and the code under test lives in the product's libraries, which keep
# their configuration's flags.
function(qvt_test_compile_options target)
  target_compile_options(${target} PRIVATE -g1 -O0)
endfunction()

function(qvt_add_test name)
  cmake_parse_arguments(T "GUI;SLOW" "TIMEOUT" "LABEL;SOURCES;LIBS;ENV" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "qvt_add_test(${name}): every test needs a LABEL")
  endif()
  add_executable(${name} ${T_SOURCES})
  if(TARGET qvt_test_pch)
    target_precompile_headers(${name} REUSE_FROM qvt_test_pch)
  endif()
  qvt_test_compile_options(${name})
  # Only a test that declares QObjects of its own needs moc. For the others moc would scan
  # every source and compile an empty unit with the precompiled header: seconds per test.
  set(needs_moc OFF)
  foreach(source IN LISTS T_SOURCES)
    file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${source} text)
    if(text MATCHES "Q_OBJECT")
      set(needs_moc ON)
    endif()
  endforeach()
  set_target_properties(${name} PROPERTIES AUTOMOC ${needs_moc})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE qvt_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE qvt_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} qvt_test_support qvt_common)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  # ctest starts the costly tests first, so that a fresh build (which has no timings of
  # earlier runs) does not end waiting on a long test started last.
  set(cost 1)
  if(T_SLOW OR T_TIMEOUT GREATER 120)
    set(cost 100)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL}"
    COST ${cost}
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QVT_SOURCE_DIR=${PROJECT_SOURCE_DIR};QVT_BINARY_DIR=${PROJECT_BINARY_DIR};ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;${T_ENV}")
endfunction()
