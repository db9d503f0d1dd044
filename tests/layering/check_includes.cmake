# Fails when a file of the launcher includes from a folder it may not use.
# The folders form layers; each may include only from itself and the folders
# listed for it, so no folder ever includes one that uses it:
#   app -> loader_window -> launch -> bridge -> util;  framework -> util.
# Usage: cmake -DSOURCE_DIR=<source tree> -P check_includes.cmake
cmake_minimum_required(VERSION 3.16)
set(allowed_app app loader_window launch bridge framework resources util)
set(allowed_loader_window loader_window launch bridge framework resources util)
set(allowed_launch launch bridge framework util)
set(allowed_bridge bridge util)
set(allowed_framework framework util)
set(allowed_util util)
set(allowed_resources resources)
set(project_folders app loader_window launch bridge framework util resources)

set(violations "")
set(unread "")
foreach(folder ${project_folders})
  file(GLOB files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  # A folder that yields no file (a wrong source tree, a moved folder) would
  # otherwise pass unchecked.
  if(NOT files)
    string(APPEND unread " ${folder}")
  endif()
  foreach(file ${files})
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
      if(included MATCHES "^([A-Za-z_]+)/")
        set(target_folder "${CMAKE_MATCH_1}")
        if(target_folder IN_LIST project_folders AND NOT target_folder IN_LIST allowed_${folder})
          file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
          string(APPEND violations "  ${shown} includes ${included}\n")
        endif()
      elseif(NOT included MATCHES "\\.rc$")
        # A bare name hides which folder it comes from.
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${file}")
        string(APPEND violations "  ${shown} includes \"${included}\" without its folder\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(unread)
  message(FATAL_ERROR "read no file of these folders of ${SOURCE_DIR}:${unread}")
endif()
if(violations)
  message(FATAL_ERROR "Includes against the folders' layers:\n${violations}")
endif()
message(STATUS "every include follows the folders' layers")
