# jpeg_lib: libjpeg with the 6b interface. Natively the system library; for
# Windows it is cross-built from the libjpeg-turbo source package that
# scripts/setup.sh fetches into build/deps (only the static library target).
if(TARGET jpeg_lib)
  return()
endif()

if(WIN32)
  include(ExternalProject)
  set(JPEG_SRC_DIR "${CMAKE_SOURCE_DIR}/build/deps/libjpeg-turbo-src" CACHE PATH "unpacked libjpeg-turbo source")
  if(NOT EXISTS "${JPEG_SRC_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "libjpeg-turbo source not found in ${JPEG_SRC_DIR}; run scripts/setup.sh")
  endif()
  set(JPEG_BUILD_DIR ${CMAKE_BINARY_DIR}/_jpeg)
  ExternalProject_Add(libjpeg_ext
    SOURCE_DIR ${JPEG_SRC_DIR}
    BINARY_DIR ${JPEG_BUILD_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_INSTALL_PREFIX=${JPEG_BUILD_DIR}/install -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${JPEG_BUILD_DIR}/libjpeg.a)
  file(MAKE_DIRECTORY ${JPEG_BUILD_DIR})
  add_library(jpeg_lib STATIC IMPORTED GLOBAL)
  # jpeglib.h comes from the source tree, its generated jconfig.h from the build tree.
  set_target_properties(jpeg_lib PROPERTIES
    IMPORTED_LOCATION ${JPEG_BUILD_DIR}/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES "${JPEG_SRC_DIR};${JPEG_BUILD_DIR}")
  add_dependencies(jpeg_lib libjpeg_ext)
else()
  find_package(JPEG REQUIRED)
  add_library(jpeg_lib INTERFACE IMPORTED GLOBAL)
  target_link_libraries(jpeg_lib INTERFACE JPEG::JPEG)
endif()
