# Configure-time checks of the vendor's two inputs, so that a wrong file
# stops the configure with a message instead of building a setup that shows
# no picture, a tiled one, or installs an empty product.
#
# Included by the top-level CMakeLists.txt. Also runs as a script, with the
# same functions, for the tests:
#   cmake [-DPIKEHARBOUR_BACKGROUND=file] [-DPIKEHARBOUR_BACKGROUND_ANY=ON]
#         [-DPIKEHARBOUR_PRODUCT=file] -P cmake/vendor_inputs.cmake

set(PH_PICTURE_RULES "a PNG of 982 x 744 pixels, 8-bit RGB, not interlaced")

# Relative paths are taken from the build folder, as resources/ does. A
# configure watches the file, so a picture or product replaced under the
# same name is checked again before it is built in.
function(ph_vendor_path out path)
    if(NOT IS_ABSOLUTE "${path}")
        get_filename_component(path "${path}" ABSOLUTE BASE_DIR "${CMAKE_BINARY_DIR}")
    endif()
    if(NOT CMAKE_SCRIPT_MODE_FILE AND EXISTS "${path}")
        set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    endif()
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

# Big-endian number from `count` bytes at byte `offset` of a hex string.
function(ph_hex_number out hex offset count)
    math(EXPR start "${offset} * 2")
    math(EXPR length "${count} * 2")
    string(SUBSTRING "${hex}" ${start} ${length} digits)
    math(EXPR value "0x${digits}")
    set(${out} ${value} PARENT_SCOPE)
endfunction()

# What is wrong with the picture's header, or nothing. Only the signature
# and the IHDR chunk, which a PNG must begin with, are read.
function(ph_picture_problems out path)
    file(READ "${path}" header LIMIT 29 HEX)
    string(LENGTH "${header}" digits)
    if(digits LESS 58 OR NOT header MATCHES "^89504e470d0a1a0a0000000d49484452")
        if(header MATCHES "^ffd8ff")
            set(${out} "is a JPEG, not a PNG" PARENT_SCOPE)
        else()
            set(${out} "is not a PNG picture" PARENT_SCOPE)
        endif()
        return()
    endif()
    ph_hex_number(width "${header}" 16 4)
    ph_hex_number(height "${header}" 20 4)
    ph_hex_number(depth "${header}" 24 1)
    ph_hex_number(colour "${header}" 25 1)
    ph_hex_number(interlace "${header}" 28 1)
    set(problems "")
    if(NOT width EQUAL 982 OR NOT height EQUAL 744)
        list(APPEND problems "is ${width} x ${height} pixels")
    endif()
    if(NOT depth EQUAL 8 OR NOT colour EQUAL 2)
        set(kinds "0;grey;1;?;2;RGB;3;palette;4;grey with alpha;5;?;6;RGBA")
        set(kind "colour type ${colour}")
        if(colour LESS 7)
            math(EXPR at "${colour} * 2 + 1")
            list(GET kinds ${at} kind)
        endif()
        list(APPEND problems "is ${depth}-bit ${kind}")
    endif()
    if(NOT interlace EQUAL 0)
        list(APPEND problems "is interlaced")
    endif()
    string(REPLACE ";" ", " problems "${problems}")
    set(${out} "${problems}" PARENT_SCOPE)
endfunction()

# Stops the configure when the picture breaks the rules the window relies
# on; with `allow_other` set only warns (a vendor who knowingly uses
# another picture).
function(ph_check_background path allow_other)
    ph_vendor_path(path "${path}")
    if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
        message(FATAL_ERROR "PIKEHARBOUR_BACKGROUND: ${path} does not exist")
    endif()
    ph_picture_problems(problems "${path}")
    if(problems STREQUAL "")
        return()
    endif()
    set(text "PIKEHARBOUR_BACKGROUND: ${path} ${problems}; expected ${PH_PICTURE_RULES}.")
    if(allow_other)
        message(WARNING "${text} Used anyway (PIKEHARBOUR_BACKGROUND_ANY is on).")
    else()
        message(FATAL_ERROR "${text} To use this picture anyway, configure with "
                            "-DPIKEHARBOUR_BACKGROUND_ANY=ON.")
    endif()
endfunction()

# The product is installed byte for byte as the program users start: it
# must at least be a Windows executable.
function(ph_check_product path)
    ph_vendor_path(path "${path}")
    if(NOT EXISTS "${path}" OR IS_DIRECTORY "${path}")
        message(FATAL_ERROR "PIKEHARBOUR_PRODUCT: ${path} does not exist")
    endif()
    file(SIZE "${path}" size)
    if(size EQUAL 0)
        message(FATAL_ERROR "PIKEHARBOUR_PRODUCT: ${path} is empty; "
                            "expected the product's Windows executable (starting with \"MZ\").")
    endif()
    # The setup's lengths are 32-bit: refused before anything is compressed.
    if(size GREATER_EQUAL 2147483648)
        message(FATAL_ERROR "PIKEHARBOUR_PRODUCT: ${path} is ${size} bytes; "
                            "the setup holds products of less than 2 GiB (2147483648 bytes).")
    endif()
    file(READ "${path}" start LIMIT 2 HEX)
    if(NOT start STREQUAL "4d5a")
        message(FATAL_ERROR "PIKEHARBOUR_PRODUCT: ${path} does not start with \"MZ\"; "
                            "expected the product's Windows executable.")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    if(DEFINED PIKEHARBOUR_BACKGROUND)
        ph_check_background("${PIKEHARBOUR_BACKGROUND}" "${PIKEHARBOUR_BACKGROUND_ANY}")
    endif()
    if(DEFINED PIKEHARBOUR_PRODUCT)
        ph_check_product("${PIKEHARBOUR_PRODUCT}")
    endif()
endif()
