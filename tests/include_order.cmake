# The dependency rule of the core, as a test:
#   cmake -DSOURCE_DIR=<checkout> [-DCORE_DIRS=a,b,...] -P tests/include_order.cmake
#
# Each core folder may include its own headers and those of the folders
# below it, never one above it or beside it, and never a front end (cli/,
# tools/, a ui/ folder, the windows in views/).  From the bottom up:
#
#   common ← codes ← app ← store ← analysis ← results ← acquisition, print, views/text, export
#
# (acquisition, print, views/text and export stand side by side and do not
# include each other).  Every #include "..." of every source at the top level of a
# core folder is checked; a forbidden one fails the test with the file and
# the include, unless it is one of the known exceptions below.  A known
# exception that no longer occurs fails too, so that the list only shrinks.

set(layers common codes app store analysis results "acquisition|print|views/text|export")

# CORE_DIRS, when given, is the build's list of core folders
# (SORVIX_CORE_DIRS); each must have its place in the order above.

# Known upward includes: "file -> include".  The whole analysis of a day
# (DayAnalysisSteps) runs the betting combinations and the payout import of
# results/ after the analysis steps; the backtest includes it from
# analysis/, so it stays there for now.
set(known_exceptions
    "analysis/run_analysis.cpp -> results/betting_combinations.h"
    "analysis/run_analysis.cpp -> results/payout_import.h")

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "include_order.cmake: -DSOURCE_DIR=<checkout> is missing")
endif()

# Rank of each core folder: its position from the bottom.
set(rank 0)
set(core_dirs)
foreach(layer IN LISTS layers)
  string(REPLACE "|" ";" dirs "${layer}")
  foreach(dir IN LISTS dirs)
    set(rank_${dir} ${rank})
    list(APPEND core_dirs ${dir})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

if(CORE_DIRS)
  string(REPLACE "," ";" build_dirs "${CORE_DIRS}")
  foreach(dir IN LISTS build_dirs)
    if(NOT DEFINED rank_${dir})
      message(FATAL_ERROR "include_order.cmake: the core folder ${dir} has no place in the "
                          "dependency order; add it to `layers`")
    endif()
  endforeach()
  foreach(dir IN LISTS core_dirs)
    list(FIND build_dirs ${dir} found)
    if(found EQUAL -1)
      message(FATAL_ERROR "include_order.cmake: ${dir} is not a core folder of the build")
    endif()
  endforeach()
endif()

set(violations)
set(seen_exceptions)
set(checked 0)
foreach(dir IN LISTS core_dirs)
  if(NOT IS_DIRECTORY ${SOURCE_DIR}/${dir})
    message(FATAL_ERROR "include_order.cmake: core folder ${dir} is missing")
  endif()
  file(GLOB sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.cpp)
  list(SORT sources)
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
      # The folder the included header lives in.
      if(included MATCHES "^views/text/")
        set(target views/text)
      elseif(included MATCHES "^[^/]+/ui/" OR included MATCHES "^views/")
        set(target front-end)
      elseif(included MATCHES "^([^/]+)/")
        set(target ${CMAKE_MATCH_1})
      else()
        set(target front-end)
      endif()
      if(target STREQUAL dir)
        continue()
      endif()
      if(DEFINED rank_${target})
        if(rank_${target} LESS rank_${dir})
          continue()
        endif()
      endif()
      set(entry "${source} -> ${included}")
      list(FIND known_exceptions "${entry}" known)
      if(known GREATER -1)
        list(APPEND seen_exceptions "${entry}")
      else()
        list(APPEND violations "${entry}")
      endif()
    endforeach()
  endforeach()
endforeach()

set(stale)
foreach(entry IN LISTS known_exceptions)
  list(FIND seen_exceptions "${entry}" found)
  if(found EQUAL -1)
    list(APPEND stale "${entry}")
  endif()
endforeach()

if(violations OR stale)
  set(text "")
  foreach(entry IN LISTS violations)
    string(APPEND text "\n  upward include: ${entry}")
  endforeach()
  foreach(entry IN LISTS stale)
    string(APPEND text "\n  known exception no longer occurs (remove it from the list): ${entry}")
  endforeach()
  message(FATAL_ERROR "The core's dependency rule is broken (common ← codes ← app ← store ← "
                      "analysis ← results ← acquisition, print, views/text, export):${text}")
endif()
list(LENGTH known_exceptions exceptions)
message(STATUS "include order: ${checked} core sources checked, ${exceptions} known exceptions")
