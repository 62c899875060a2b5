# Image libraries: Debian's -dev packages natively; for mingw, zlib from
# libz-mingw-w64-dev and a static libpng built by scripts/build-libpng-mingw.sh
# (its prefix is passed as TARVO_LIBPNG_PREFIX by the toolchain call).
if(WIN32)
  if(NOT TARVO_LIBPNG_PREFIX)
    message(FATAL_ERROR "TARVO_LIBPNG_PREFIX must name the mingw libpng install prefix")
  endif()
  add_library(tarvo_png STATIC IMPORTED GLOBAL)
  set_target_properties(tarvo_png PROPERTIES
    IMPORTED_LOCATION "${TARVO_LIBPNG_PREFIX}/lib/libpng16.a"
    INTERFACE_INCLUDE_DIRECTORIES "${TARVO_LIBPNG_PREFIX}/include")
  add_library(tarvo_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(tarvo_zlib PROPERTIES IMPORTED_LOCATION "${ZLIB_LIBRARY}")
  target_link_libraries(tarvo_png INTERFACE tarvo_zlib)
else()
  find_package(PNG REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(tarvo_png INTERFACE)
  target_link_libraries(tarvo_png INTERFACE PNG::PNG ZLIB::ZLIB)
endif()
