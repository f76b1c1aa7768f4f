# A wrong picture or product stops the configure with a message that says
# what is wrong and what is expected; the picture rule can be relaxed.
# Runs the configure's own check script on files made in a scratch folder:
#   cmake -DSOURCE_DIR=... -DSCRATCH=... -DPYTHON=... -P vendor_inputs_test.cmake
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
execute_process(
    COMMAND "${PYTHON}" -c [[
from PIL import Image
Image.new("RGB", (982, 744), (40, 90, 140)).save("picture.jpg", quality=90)
Image.new("RGB", (640, 480), (40, 90, 140)).save("small.png")
]]
    WORKING_DIRECTORY "${SCRATCH}" RESULT_VARIABLE made)
file(WRITE "${SCRATCH}/empty.exe" "")
# Sparse: "MZ" and 2 GiB of nothing cost no disk.
file(WRITE "${SCRATCH}/huge.exe" "MZ")
file(WRITE "${SCRATCH}/almost.exe" "MZ")
execute_process(COMMAND truncate -s 2147483648 "${SCRATCH}/huge.exe")
execute_process(COMMAND truncate -s 2147483647 "${SCRATCH}/almost.exe")
if(NOT made EQUAL 0)
    message(FATAL_ERROR "could not make the test pictures")
endif()

# Runs the check with `arguments`; wants exit code `code` (0 or 1) and
# `text` in its message.
function(check_case arguments code text)
    separate_arguments(arguments UNIX_COMMAND "${arguments}")
    execute_process(COMMAND ${CMAKE_COMMAND} ${arguments} -P "${SOURCE_DIR}/cmake/vendor_inputs.cmake"
        WORKING_DIRECTORY "${SCRATCH}" RESULT_VARIABLE result ERROR_VARIABLE output)
    # CMake wraps its messages at about 80 columns.
    string(REGEX REPLACE "[ \n]+" " " output "${output}")
    string(FIND "${output}" "${text}" at)
    if(NOT result EQUAL code OR at EQUAL -1)
        message(SEND_ERROR "${arguments}: exit code ${result}, wanted ${code} and "
                           "\"${text}\"; the output:\n${output}")
    endif()
endfunction()

check_case("-DPIKEHARBOUR_BACKGROUND=picture.jpg" 1 "picture.jpg is a JPEG, not a PNG; \
expected a PNG of 982 x 744 pixels, 8-bit RGB, not interlaced.")
check_case("-DPIKEHARBOUR_BACKGROUND=small.png" 1 "small.png is 640 x 480 pixels; \
expected a PNG of 982 x 744 pixels, 8-bit RGB, not interlaced.")
check_case("-DPIKEHARBOUR_BACKGROUND=small.png -DPIKEHARBOUR_BACKGROUND_ANY=ON" 0
           "CMake Warning")
check_case("-DPIKEHARBOUR_BACKGROUND=${SOURCE_DIR}/resources/background.png" 0 "")
check_case("-DPIKEHARBOUR_PRODUCT=empty.exe" 1 "empty.exe is empty; \
expected the product's Windows executable (starting with \"MZ\").")
check_case("-DPIKEHARBOUR_PRODUCT=huge.exe" 1 "huge.exe is 2147483648 bytes; \
the setup holds products of less than 2 GiB (2147483648 bytes).")
check_case("-DPIKEHARBOUR_PRODUCT=almost.exe" 0 "")
file(REMOVE "${SCRATCH}/huge.exe" "${SCRATCH}/almost.exe")
