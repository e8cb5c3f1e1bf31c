# Helpers every folder uses for its libraries and tests.

function(nexvale_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror=format -Werror=return-type)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# nexvale_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [RESOURCE_LOCK lock])
# One GoogleTest executable; under Wine it runs through the cross-compiling emulator.
function(nexvale_add_test name)
  cmake_parse_arguments(T "" "RESOURCE_LOCK" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  nexvale_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  set(properties)
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  if(T_RESOURCE_LOCK)
    list(APPEND properties RESOURCE_LOCK "${T_RESOURCE_LOCK}")
  endif()
  list(APPEND properties ${T_PROPERTIES})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${properties})
endfunction()

# A shipped executable: linked with link-time optimisation where NEXVALE_LTO is on, without
# partitions: with several, GCC 12 for MinGW stops with an internal error on Boost's exception
# wrappers, and even with one its streaming of the single partition fails once the banner feed's
# code joins ("two or more sections", "cannot read LTO_section_decls").
# The optimised code leaves the link as one section; for the size report's maps it is split into
# a section per function, so the map names the function (and its library) behind every byte, at
# the cost of a few KiB of alignment in the measured file.
function(nexvale_link_for_size target)
  if(WIN32 AND NEXVALE_LTO)
    set(options -flto -flto-partition=none)
    if(NEXVALE_LINKER_MAPS)
      list(APPEND options -ffunction-sections -fdata-sections)
    endif()
    target_link_options(${target} PRIVATE "$<$<CONFIG:MinSizeRel,Release>:${options}>")
  endif()
endfunction()
