# Libraries of the raster graphics library besides libpng: FreeType and
# fontconfig for text on Linux; GDI on Windows comes with the system.
if(NOT WIN32)
  find_package(Freetype REQUIRED)
  find_package(Fontconfig REQUIRED)
  find_package(Threads REQUIRED)
endif()
