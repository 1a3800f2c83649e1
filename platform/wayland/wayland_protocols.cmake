# SPDX-License-Identifier: GPL-3.0-or-later
# Client glue for Wayland protocol descriptions, made by wayland-scanner at
# build time: a header and the interface tables (compiled as C++: the project
# enables no C compiler).
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(TESUKO_WAYLAND_SCANNER wayland-scanner wayland_scanner)
pkg_get_variable(TESUKO_WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT TESUKO_WAYLAND_SCANNER OR NOT TESUKO_WAYLAND_PROTOCOLS_DIR)
  message(FATAL_ERROR "Wayland needs wayland-scanner and wayland-protocols (`make deps`)")
endif()

function(tesuko_wayland_protocol target xml)
  get_filename_component(name ${xml} NAME_WE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/protocols)
  set(header ${dir}/${name}-client-protocol.h)
  set(code ${dir}/${name}-protocol.cpp)
  add_custom_command(OUTPUT ${header}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                     COMMAND ${TESUKO_WAYLAND_SCANNER} client-header ${xml} ${header}
                     DEPENDS ${xml} VERBATIM)
  add_custom_command(OUTPUT ${code}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                     COMMAND ${TESUKO_WAYLAND_SCANNER} private-code ${xml} ${code}
                     DEPENDS ${xml} VERBATIM)
  # The header's extern declarations give the tables external linkage in C++;
  # the scanner's "hidden" on the definitions then comes too late to matter.
  set_source_files_properties(${code} PROPERTIES COMPILE_OPTIONS "-include;${header};-Wno-attributes"
                                                 OBJECT_DEPENDS ${header})
  target_sources(${target} PRIVATE ${header} ${code})
  target_include_directories(${target} PUBLIC ${dir})
endfunction()
