# The same sources and the same tools (Debian's MinGW-w64, CMake and libarchive) give the same
# program, byte for byte, in whichever folder and at whatever time: anyone can rebuild a release
# and check it against its published SHA-256.
if(MINGW)
  # Paths in the objects (__FILE__ in a check, debug info) are relative to the project's folder.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>)
  # No build time in the PE header; the header's checksum, taken over the file, then holds still.
  add_link_options(-Wl,--no-insert-timestamp)
elseif(MSVC)
  # Microsoft's tools: a hash of the contents in place of every time stamp.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:/Brepro>)
  add_link_options(/Brepro)
endif()
