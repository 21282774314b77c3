# SPDX-License-Identifier: MIT
# What the Windows executable carries besides its code: the icon and version information (compiled
# by windres) and the qt.conf that keeps Qt's paths beside the program.
enable_language(RC)

# logwarden_add_windows_resources(TARGET ICON): ICON is the .ico rendered on the build host
# (scripts/windows passes its path as LOGWARDEN_WINDOWS_ICON).
function(logwarden_add_windows_resources target icon)
  if(NOT EXISTS "${icon}")
    message(FATAL_ERROR "No icon at '${icon}': render it first (scripts/windows)")
  endif()
  set(LOGWARDEN_ICO "${icon}")
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/logwarden.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
  # configure_file does not see a newly rendered icon with the same path: rebuild on its change.
  set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${icon}")

  set(qt_conf "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/qt.conf")
  set_source_files_properties("${qt_conf}" PROPERTIES QT_RESOURCE_ALIAS qt.conf)
  qt_add_resources(${target} logwarden_qt_conf PREFIX /qt/etc FILES "${qt_conf}")
endfunction()
