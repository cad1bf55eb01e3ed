# Generates a C++ source that holds the given data files as byte arrays, with a lookup
# table of their relative paths (see src/data/embedded_data.h).
function(embed_data_files)
  cmake_parse_arguments(E "" "OUTPUT;BASE" "GLOBS" ${ARGN})
  set(files)
  foreach(g ${E_GLOBS})
    file(GLOB matched CONFIGURE_DEPENDS RELATIVE ${E_BASE} ${E_BASE}/${g})
    list(APPEND files ${matched})
  endforeach()
  list(SORT files)
  set(abs_files)
  foreach(f ${files})
    list(APPEND abs_files ${E_BASE}/${f})
  endforeach()
  add_custom_command(
    OUTPUT ${E_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${E_OUTPUT} -DBASE=${E_BASE} "-DFILES=${files}"
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedDataRun.cmake
    DEPENDS ${abs_files} ${CMAKE_SOURCE_DIR}/cmake/EmbedDataRun.cmake
    COMMENT "Embedding data files"
    VERBATIM)
endfunction()
