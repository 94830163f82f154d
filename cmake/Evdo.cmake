# Common compiler settings and helpers for the subsystem libraries.

set(EVDO_WARNINGS -Wall -Wextra -Werror -Wno-missing-field-initializers)

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

# evdo_test(NAME SOURCES ... DEPENDS lib ... [LABELS label ...])
function(evdo_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${EVDO_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}
    PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

include(GoogleTest)
