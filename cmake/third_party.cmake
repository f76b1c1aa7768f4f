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

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
