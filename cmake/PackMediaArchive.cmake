# cmake -DRAR2PACK=<tool> -DSOURCE_DIR=<folder> [-DGENERATED_DIR=<folder>]
#       -DSTAGING_DIR=<folder> -DARCHIVE=<file> [-DOPTIONS=<rar2pack options>]
#       -P PackMediaArchive.cmake
# Stages the source folder (without README.md files) and the generated folder
# into a fresh staging folder and packs it with rar2pack.
if(NOT EXISTS "${RAR2PACK}")
  message(FATAL_ERROR "rar2pack not found at ${RAR2PACK}. Build the host tools first: "
                      "cmake --preset host-release && cmake --build --preset host-release --target rar2pack "
                      "(or point ZAV_HOST_TOOLS_DIR at a folder that holds rar2pack).")
endif()

file(REMOVE_RECURSE "${STAGING_DIR}")
file(MAKE_DIRECTORY "${STAGING_DIR}")
file(COPY "${SOURCE_DIR}/" DESTINATION "${STAGING_DIR}" PATTERN "README.md" EXCLUDE)
if(GENERATED_DIR AND EXISTS "${GENERATED_DIR}")
  file(COPY "${GENERATED_DIR}/" DESTINATION "${STAGING_DIR}")
endif()

# rar2pack writes its output only after the whole tree is packed.
execute_process(COMMAND "${RAR2PACK}" ${OPTIONS} "${ARCHIVE}.tmp" "${STAGING_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${ARCHIVE}.tmp")
  message(FATAL_ERROR "rar2pack could not pack ${STAGING_DIR}")
endif()
file(RENAME "${ARCHIVE}.tmp" "${ARCHIVE}")
