# zlib, minizip and libjpeg as imported targets: Debian's packages on the host, the
# libraries built by tools/bootstrap.sh (and libz-mingw-w64-dev) for the mingw targets.
if(WIN32)
  set(_sysroot /usr/${MINGW_TRIPLET})
  foreach(_lib IN ITEMS libminizip.a libjpeg.a)
    if(NOT EXISTS ${MINGW_DEPS_PREFIX}/lib/${_lib})
      message(FATAL_ERROR "${MINGW_DEPS_PREFIX}/lib/${_lib} is missing: run tools/bootstrap.sh")
    endif()
  endforeach()
  add_library(deps_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(deps_zlib PROPERTIES IMPORTED_LOCATION ${_sysroot}/lib/libz.a)
  add_library(deps_minizip STATIC IMPORTED GLOBAL)
  set_target_properties(deps_minizip PROPERTIES
    IMPORTED_LOCATION ${MINGW_DEPS_PREFIX}/lib/libminizip.a
    INTERFACE_INCLUDE_DIRECTORIES ${MINGW_DEPS_PREFIX}/include
    INTERFACE_LINK_LIBRARIES deps_zlib)
  add_library(deps_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(deps_jpeg PROPERTIES
    IMPORTED_LOCATION ${MINGW_DEPS_PREFIX}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${MINGW_DEPS_PREFIX}/include)
else()
  find_library(_z z REQUIRED)
  find_library(_minizip minizip REQUIRED)
  find_library(_jpeg jpeg REQUIRED)
  add_library(deps_zlib UNKNOWN IMPORTED GLOBAL)
  set_target_properties(deps_zlib PROPERTIES IMPORTED_LOCATION ${_z})
  add_library(deps_minizip UNKNOWN IMPORTED GLOBAL)
  set_target_properties(deps_minizip PROPERTIES IMPORTED_LOCATION ${_minizip}
    INTERFACE_LINK_LIBRARIES deps_zlib)
  add_library(deps_jpeg UNKNOWN IMPORTED GLOBAL)
  set_target_properties(deps_jpeg PROPERTIES IMPORTED_LOCATION ${_jpeg})
endif()

# GoogleTest: Debian's package on the host, built from Debian's sources for mingw.
if(WIN32)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
