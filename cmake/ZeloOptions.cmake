# Warnings, sanitizers and platform settings shared by every target.

add_compile_options(-Wall -Wextra -Werror)

if(WIN32)
  # One self-contained binary per target: no MinGW runtime DLLs to ship.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(EMSCRIPTEN)
  # Settings files are read with a JSON library that reports faults by
  # exception; the browser build must catch them as the others do.
  add_compile_options(-fexceptions)
  add_link_options(-fexceptions)
endif()

if(ZELO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(ZELO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ZELO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ZELO_SANITIZE must be address, thread or empty")
endif()

# GoogleTest from the distribution's sources, built with our own flags (and
# cross compiler), so every preset gets a matching copy.
set(ZELO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")

function(zelo_use_gtest)
  if(TARGET gtest)
    return()
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${ZELO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endfunction()

# zelo_add_test(name SOURCES a.cpp ... LIBS x y [LABELS l])
# One ctest entry per test program; cross builds run it under the emulator.
function(zelo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  zelo_use_gtest()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
endfunction()
