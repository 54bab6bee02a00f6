# Settings every target of ours shares.
#
# Strings of the programs are ANSI text in the Russian code page, the way the
# language modules and the Windows ANSI calls expect them; the sources stay UTF-8.
set(OVEL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)

if(WIN32)
  add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 WIN32_LEAN_AND_MEAN NOMINMAX)
else()
  option(OVEL_TSAN "Native build with ThreadSanitizer instead of ASan and UBSan" OFF)
  if(OVEL_TSAN)
    set(OVEL_SANITIZERS -fsanitize=thread -fno-omit-frame-pointer)
  else()
    set(OVEL_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  endif()
  add_compile_options(${OVEL_SANITIZERS})
  add_link_options(${OVEL_SANITIZERS})
endif()

function(ovel_target_defaults target)
  target_compile_options(${target} PRIVATE ${OVEL_WARNINGS} -fexec-charset=CP1251)
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A test program of ours: natively each case is its own ctest entry; under Wine
# the whole program is one entry, so it gets one fresh prefix.
function(ovel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  ovel_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  # Wine maps the Linux root to drive Z:.
  if(WIN32)
    set(drive "Z:")
  else()
    set(drive "")
  endif()
  target_compile_definitions(${name} PRIVATE OVEL_TEST_DATA="${drive}${CMAKE_CURRENT_SOURCE_DIR}/data"
                                             OVEL_SOURCE_DIR="${drive}${CMAKE_SOURCE_DIR}")
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "OVEL_WINE_ROOT=${CMAKE_BINARY_DIR}/wine;${T_ENVIRONMENT}")
  else()
    gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
  endif()
endfunction()
