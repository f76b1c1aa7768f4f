# zlib from Debian's libz-mingw-w64-dev (static archive), libpng built here
# from the source that scripts/setup unpacked, GoogleTest from /usr/src.
find_library(PH_ZLIB_ARCHIVE NAMES libz.a REQUIRED)
add_library(ph_zlib STATIC IMPORTED GLOBAL)
set_target_properties(ph_zlib PROPERTIES IMPORTED_LOCATION ${PH_ZLIB_ARCHIVE})

if(NOT EXISTS ${PIKEHARBOUR_LIBPNG_SOURCE}/png.h)
    message(FATAL_ERROR "libpng source not found in ${PIKEHARBOUR_LIBPNG_SOURCE}; run scripts/setup")
endif()
set(png_dir ${PIKEHARBOUR_LIBPNG_SOURCE})
set(png_generated ${CMAKE_BINARY_DIR}/third_party/libpng)
configure_file(${png_dir}/scripts/pnglibconf.h.prebuilt ${png_generated}/pnglibconf.h COPYONLY)
add_library(png_static STATIC
    ${png_dir}/png.c ${png_dir}/pngerror.c ${png_dir}/pngget.c ${png_dir}/pngmem.c
    ${png_dir}/pngpread.c ${png_dir}/pngread.c ${png_dir}/pngrio.c ${png_dir}/pngrtran.c
    ${png_dir}/pngrutil.c ${png_dir}/pngset.c ${png_dir}/pngtrans.c ${png_dir}/pngwio.c
    ${png_dir}/pngwrite.c ${png_dir}/pngwtran.c ${png_dir}/pngwutil.c
    ${png_dir}/intel/intel_init.c ${png_dir}/intel/filter_sse2_intrinsics.c)
target_include_directories(png_static SYSTEM PUBLIC ${png_dir} ${png_generated})
target_compile_definitions(png_static PRIVATE PNG_ARM_NEON_OPT=0 PNG_INTEL_SSE_OPT=1)
# Optimised for speed with the SSE2 row filters: the picture's decode sits
# on the way to the first page, and the setup stays within its size budget.
target_compile_options(png_static PRIVATE -w -O2)
target_link_libraries(png_static PUBLIC ph_zlib)

# png_read: the same source configured for reading only, for the setup and
# the decode bench (the tests keep png_static: they write screenshots). The
# writer, the simplified API and stdio are left out; without them the
# setup no longer links zlib's deflate either. A copy of the source of its
# own, since png.h and pngpriv.h include the pnglibconf.h beside them.
set(png_read_dir ${CMAKE_BINARY_DIR}/third_party/libpng_read)
file(GLOB png_read_inputs RELATIVE ${png_dir} ${png_dir}/*.c ${png_dir}/*.h ${png_dir}/intel/*.c)
# The source's own pnglibconf.h is replaced below; copied too, it would
# overwrite the reading configuration at every configure and rebuild libpng.
list(REMOVE_ITEM png_read_inputs pnglibconf.h)
foreach(input ${png_read_inputs})
    configure_file(${png_dir}/${input} ${png_read_dir}/${input} COPYONLY)
endforeach()
file(READ ${png_dir}/scripts/pnglibconf.h.prebuilt png_read_config)
string(REGEX REPLACE
    "#define PNG_(WRITE|SIMPLIFIED|STDIO|CONSOLE_IO|CONVERT_tIME|TIME_RFC1123|SAVE_INT_32)[A-Za-z0-9_]*_SUPPORTED\n"
    "" png_read_config "${png_read_config}")
file(CONFIGURE OUTPUT ${png_read_dir}/pnglibconf.h CONTENT "${png_read_config}" @ONLY)
add_library(png_read STATIC
    ${png_read_dir}/png.c ${png_read_dir}/pngerror.c ${png_read_dir}/pngget.c
    ${png_read_dir}/pngmem.c ${png_read_dir}/pngread.c ${png_read_dir}/pngrio.c
    ${png_read_dir}/pngrtran.c ${png_read_dir}/pngrutil.c ${png_read_dir}/pngset.c
    ${png_read_dir}/pngtrans.c ${png_read_dir}/intel/intel_init.c
    ${png_read_dir}/intel/filter_sse2_intrinsics.c)
target_include_directories(png_read SYSTEM PUBLIC ${png_read_dir})
target_compile_definitions(png_read PRIVATE PNG_ARM_NEON_OPT=0 PNG_INTEL_SSE_OPT=1)
target_compile_options(png_read PRIVATE -w -O2)
target_link_libraries(png_read PUBLIC ph_zlib)

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
