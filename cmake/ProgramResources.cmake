# The resources every program of the product carries: a version resource (company, product,
# description, original file name and the version of project()) and one application manifest
# (common controls 6, asInvoker, DPI awareness, Windows 7 to 11).
#
#   quenzo_program_resources(<target> <description> <original file name>
#                            [ICON <file>] [DPI_UNAWARE])
#
# ICON gives the program an icon of its own (resource 1) when it has none among its resources.
# DPI_UNAWARE leaves the scaling to Windows, for windows laid out in dialog units around pictures
# of fixed pixel sizes, which would drift apart if the program scaled them itself.
# A program gets no other RT_MANIFEST resource: Windows reads only resource 1.
set(QUENZO_PROGRAM_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})

function(quenzo_program_resources target description original)
  cmake_parse_arguments(P "DPI_UNAWARE" "ICON" "" ${ARGN})
  if(NOT TARGET product_version)
    message(FATAL_ERROR "quenzo_program_resources(${target}): the product_version target (settings/) comes first")
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}.program)
  if(P_DPI_UNAWARE)
    set(QUENZO_DPI_SETTINGS "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">false</dpiAware>")
  else()
    set(QUENZO_DPI_SETTINGS "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>
      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>")
  endif()
  configure_file(${QUENZO_PROGRAM_RESOURCES_DIR}/Program.manifest.in ${dir}/${target}.manifest @ONLY)

  # The texts go into a resource script and a C++ table of the tests unchanged.
  if(description MATCHES "[\"\\\\]" OR original MATCHES "[\"\\\\]")
    message(FATAL_ERROR "quenzo_program_resources(${target}): no quotes or backslashes in its texts")
  endif()
  set(QUENZO_FILE_DESCRIPTION "${description}")
  set(QUENZO_ORIGINAL_NAME "${original}")
  set(QUENZO_INTERNAL_NAME ${target})
  set(QUENZO_MANIFEST_FILE ${dir}/${target}.manifest)
  set(QUENZO_ICON_LINE "")
  set(depends ${dir}/${target}.manifest ${QUENZO_PROGRAM_RESOURCES_DIR}/ProgramResources.rc.in
      ${PROJECT_SOURCE_DIR}/settings/Version.h.in)
  if(P_ICON)
    get_filename_component(icon ${P_ICON} ABSOLUTE)
    set(QUENZO_ICON_LINE "1 ICON \"${icon}\"")
    list(APPEND depends ${icon})
  endif()
  configure_file(${QUENZO_PROGRAM_RESOURCES_DIR}/ProgramResources.rc.in ${dir}/${target}.rc @ONLY)
  set_source_files_properties(${dir}/${target}.rc PROPERTIES OBJECT_DEPENDS "${depends}")

  # An object library of its own: windres must not get the C++ options of quenzo_target, and the
  # linker keeps the resources although no code refers to them.
  add_library(${target}_program_resources OBJECT ${dir}/${target}.rc)
  target_link_libraries(${target}_program_resources PRIVATE product_version)
  target_link_libraries(${target} PRIVATE ${target}_program_resources)
  set_target_properties(${target} PROPERTIES QUENZO_FILE_DESCRIPTION "${description}"
                        QUENZO_ORIGINAL_NAME "${original}")
  set_property(GLOBAL APPEND PROPERTY QUENZO_PROGRAMS ${target})
endfunction()
