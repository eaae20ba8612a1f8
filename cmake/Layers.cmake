# SPDX-License-Identifier: MIT
# Every library takes its includes from the project root, so an include
# names its folder ("crate/Basket.h") and shows which layer it reaches into.
# The root would let any source name any header, so the layers that must not
# see others are checked when the project is configured: a source below that
# names a header of a layer above stops the configuration. The check matches
# the header's file name after any path, so "../catalog/…" is caught too.
function(veltrum_layer_sees_not layer)
  file(GLOB sources CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/${layer}/*.h ${PROJECT_SOURCE_DIR}/${layer}/*.cpp)
  foreach(hidden IN LISTS ARGN)
    file(GLOB headers ${PROJECT_SOURCE_DIR}/${hidden}/*.h)
    foreach(header IN LISTS headers)
      get_filename_component(name ${header} NAME)
      string(REPLACE "." "\\." name_pattern ${name})
      foreach(source IN LISTS sources)
        file(STRINGS ${source} hits
          REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*/)?${name_pattern}[\">]")
        if(hits)
          message(FATAL_ERROR "${source} includes ${hidden}/${name}: ${layer}/ does not see ${hidden}/")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
