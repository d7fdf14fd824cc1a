# The media archives the screensaver carries as resources, packed at build
# time with the host-built rar2pack (RAR 2.0).

set(ZAV_HOST_TOOLS_DIR "${CMAKE_SOURCE_DIR}/build/host-release/bin" CACHE PATH
    "Folder of the host-built tools (rar2pack) that the Windows build runs")
set(ZAV_RAR2PACK "${ZAV_HOST_TOOLS_DIR}/rar2pack")
if(NOT EXISTS "${ZAV_RAR2PACK}")
  message(WARNING "rar2pack is not built yet (${ZAV_RAR2PACK}); the media archives cannot be packed until "
                  "'cmake --preset host-release && cmake --build --preset host-release --target rar2pack' has run.")
endif()

# zav_pack_media_archive(<archive file>
#   SOURCE_DIR <folder>       files kept in the repository (README.md files are left out)
#   [GENERATED_DIR <folder>]  files that build steps write
#   [DEPENDS <file|target>...] those build steps' outputs or targets
#   [OPTIONS <rar2pack option>...])
#
# Copies both folders into a fresh staging folder and packs it into the
# archive, again whenever a file of the source folder, a DEPENDS item or
# rar2pack changes. A build step adds a generated file by writing it under
# GENERATED_DIR (relative paths become archive paths) and naming its output in
# DEPENDS:
#   add_custom_command(OUTPUT ${generated}/preview.bmp COMMAND ... DEPENDS ...)
#   zav_pack_media_archive(... GENERATED_DIR ${generated} DEPENDS ${generated}/preview.bmp)
function(zav_pack_media_archive archive)
  cmake_parse_arguments(PARSE_ARGV 1 PACK "" "SOURCE_DIR;GENERATED_DIR" "DEPENDS;OPTIONS")
  if(NOT PACK_SOURCE_DIR)
    message(FATAL_ERROR "zav_pack_media_archive(${archive}): SOURCE_DIR is required")
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS LIST_DIRECTORIES false "${PACK_SOURCE_DIR}/*")
  list(FILTER sources EXCLUDE REGEX "/README\\.md$")
  get_filename_component(name "${archive}" NAME)
  get_filename_component(stem "${archive}" NAME_WE)
  set(staging "${CMAKE_CURRENT_BINARY_DIR}/media-staging/${stem}")
  # A file removed from the folder changes no dependency's time: a list of
  # the staged files, rewritten only when it changes, brings the archive up
  # to date then too.
  set(listing "${CMAKE_CURRENT_BINARY_DIR}/media-staging/${stem}.files")
  string(REPLACE ";" "\n" listing_text "${sources};${PACK_DEPENDS};${PACK_OPTIONS}")
  file(CONFIGURE OUTPUT "${listing}" CONTENT "${listing_text}\n" @ONLY)
  set(tool_dependency)
  if(EXISTS "${ZAV_RAR2PACK}")
    set(tool_dependency "${ZAV_RAR2PACK}")
  endif()
  add_custom_command(
    OUTPUT "${archive}"
    COMMAND "${CMAKE_COMMAND}" "-DRAR2PACK=${ZAV_RAR2PACK}" "-DSOURCE_DIR=${PACK_SOURCE_DIR}"
            "-DGENERATED_DIR=${PACK_GENERATED_DIR}" "-DSTAGING_DIR=${staging}" "-DARCHIVE=${archive}"
            "-DOPTIONS=${PACK_OPTIONS}" -P "${CMAKE_SOURCE_DIR}/cmake/PackMediaArchive.cmake"
    DEPENDS ${sources} ${PACK_DEPENDS} ${tool_dependency} "${listing}"
            "${CMAKE_SOURCE_DIR}/cmake/PackMediaArchive.cmake"
    COMMENT "Packing ${name}"
    VERBATIM)
endfunction()
