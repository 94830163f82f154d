# Common compiler settings and helpers for the subsystem libraries.

set(EVDO_WARNINGS -Wall -Wextra -Werror -Wno-missing-field-initializers)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # gcc 12 reports std::string concatenation as overlapping memcpy at -O3
  # (a known false positive).
  list(APPEND EVDO_WARNINGS -Wno-restrict)
endif()

if(EVDO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(EVDO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# evdo_logic_library(NAME SOURCES ... [DEPENDS lib ...])
# A logic library is plain C++20: it never links Qt, so Qt headers are not on
# its include path and any Qt include in it fails to compile.
function(evdo_logic_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${EVDO_WARNINGS})
  target_link_libraries(${name} PUBLIC Threads::Threads ${ARG_DEPENDS})
  set_property(GLOBAL APPEND PROPERTY EVDO_LOGIC_LIBRARIES ${name})
endfunction()

# evdo_qt_library(NAME SOURCES ... [DEPENDS lib ...] [DEFINITIONS def ...])
# A static library of windows or Qt services: moc, warnings, the source tree
# as include folder, and Qt's keywords off (stores have members named slots).
function(evdo_qt_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;DEFINITIONS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${EVDO_WARNINGS})
  target_compile_definitions(${name} PUBLIC QT_NO_KEYWORDS PRIVATE ${ARG_DEFINITIONS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# evdo_test(NAME SOURCES ... DEPENDS lib ... [LABELS label ...])
# Every test program of the device link, for the thread sanitizer run.
add_custom_target(evdo_tsan_device_tests)

function(evdo_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;LABELS" ${ARGN})
  # Every test program carries the leak checker's list of system library
  # leaks (fontconfig's cache), for the sanitizer build.
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/LeakSuppressions.cpp)
  target_compile_options(${name} PRIVATE ${EVDO_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  # The discovery script cannot carry a list of labels: it gets the first,
  # and a second script sets them all once the discovered tests are known.
  set(first_label "")
  if(ARG_LABELS)
    list(GET ARG_LABELS 0 first_label)
  endif()
  gtest_discover_tests(${name}
    PROPERTIES LABELS "${first_label}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
  if("device" IN_LIST ARG_LABELS)
    add_dependencies(evdo_tsan_device_tests ${name})
  endif()
  list(LENGTH ARG_LABELS label_count)
  if(label_count GREATER 1)
    set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${script}
      "if(${name}_TESTS)\n"
      "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${ARG_LABELS}\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
  endif()
endfunction()

include(GoogleTest)

if(EVDO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_custom_target(evdo_fuzzers)
endif()
set(EVDO_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs in the test command")

# evdo_fuzzer(NAME SOURCES ... DEPENDS lib ... [SEEDS folder])
# A libFuzzer target; built only with EVDO_FUZZ (clang), run by ctest with
# the label "fuzz" for EVDO_FUZZ_SECONDS. Its seed corpus is the committed
# folder corpus/NAME beside the CMakeLists.txt (or SEEDS): the files are
# copied into the build's corpus folder, where the fuzzer adds what it finds,
# so that the source tree is never written. Every seed runs first, so a
# crash input kept there is replayed by every run.
function(evdo_fuzzer name)
  if(NOT EVDO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "SEEDS" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(evdo_fuzzers ${name})
  if(NOT ARG_SEEDS)
    set(ARG_SEEDS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  endif()
  if(NOT IS_DIRECTORY ${ARG_SEEDS})
    message(FATAL_ERROR "fuzz target ${name} has no seed corpus in ${ARG_SEEDS}")
  endif()
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}-seeds
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${ARG_SEEDS} ${corpus})
  set_tests_properties(${name}-seeds PROPERTIES LABELS fuzz FIXTURES_SETUP ${name}-corpus)
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${EVDO_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10
            -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/${name}- ${corpus})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600 FIXTURES_REQUIRED ${name}-corpus)
endfunction()

# evdo_benchmark(NAME SOURCES ... DEPENDS lib ...): a benchmark program, never a test.
function(evdo_benchmark name)
  if(NOT EVDO_BUILD_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${EVDO_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
endfunction()

# Adds every subfolder of the current folder that has a CMakeLists.txt.
macro(evdo_add_subfolders)
  file(GLOB _evdo_children RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _evdo_children)
  foreach(_child ${_evdo_children})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_child}/CMakeLists.txt)
      add_subdirectory(${_child})
    endif()
  endforeach()
endmacro()

# Every library a target links, directly or through others (targets only;
# generator expressions are read as the libraries they name).
function(_evdo_link_closure target out)
  set(seen "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo item)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" item "${item}")
    if(item IN_LIST seen OR NOT TARGET ${item})
      continue()
    endif()
    list(APPEND seen ${item})
    get_target_property(type ${item} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${item} LINK_LIBRARIES)
      if(direct)
        list(APPEND links ${direct})
      endif()
    endif()
    get_target_property(iface ${item} INTERFACE_LINK_LIBRARIES)
    if(iface)
      list(APPEND links ${iface})
    endif()
    list(APPEND todo ${links})
  endwhile()
  list(REMOVE_ITEM seen ${target})
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# The layers: a logic library reaches no Qt library, and the core library
# (EVDO_CORE_LIBRARY) no other library of this project. Called once every
# target is known; a breach stops the configuration.
function(evdo_check_layers)
  get_property(libs GLOBAL PROPERTY EVDO_LOGIC_LIBRARIES)
  set(sources "")
  foreach(lib ${libs})
    get_target_property(dir ${lib} SOURCE_DIR)
    get_target_property(files ${lib} SOURCES)
    foreach(file ${files})
      cmake_path(ABSOLUTE_PATH file BASE_DIRECTORY ${dir})
      string(APPEND sources "${file}\n")
    endforeach()
    _evdo_link_closure(${lib} closure)
    foreach(dep ${closure})
      if(dep MATCHES "^Qt[0-9]*::")
        message(FATAL_ERROR "The logic library ${lib} links ${dep}: logic libraries must not reach Qt")
      endif()
      if(lib STREQUAL "${EVDO_CORE_LIBRARY}" AND dep MATCHES "^evdo_")
        message(FATAL_ERROR "The core library ${lib} links ${dep}: the core links no other library of this project")
      endif()
    endforeach()
  endforeach()
  # The sources of the logic libraries, for the lint step.
  file(WRITE ${CMAKE_BINARY_DIR}/logic-sources.txt "${sources}")
endfunction()
set(EVDO_CORE_LIBRARY evdo_core)
