# Signs a built setup with Authenticode (SHA-256) through osslsigncode; the
# build's last step when PIKEHARBOUR_SIGN_PFX is set, and what the signing
# test runs on a copy.
#   cmake -DFILE=<exe> -DPFX=<p12> [-DPASSWORD_FILE=<file>] [-DTIMESTAMP_URL=<url>]
#         -P sign_setup.cmake
# The signature is appended to the file: the embedded blocks, and the
# lengths and CRC-32 recorded for them, stay as they are.
foreach(required FILE PFX)
    if(NOT ${required})
        message(FATAL_ERROR "sign_setup: ${required} is not set")
    endif()
endforeach()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "sign_setup: osslsigncode not found (scripts/setup installs it)")
endif()

set(arguments sign -pkcs12 ${PFX} -h sha256 -n "PikeHarbour Setup")
# Without a password file the container is read without one (the tool asks
# only when told to).
if(PASSWORD_FILE)
    list(APPEND arguments -readpass ${PASSWORD_FILE})
endif()
if(TIMESTAMP_URL)
    list(APPEND arguments -ts ${TIMESTAMP_URL})
endif()

set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(COMMAND ${OSSLSIGNCODE} ${arguments} -in ${FILE} -out ${signed}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    file(REMOVE "${signed}")
    # An unsigned setup newer than its inputs would pass for a finished
    # build next time: remove it so the failure stays visible.
    file(REMOVE "${FILE}")
    message(FATAL_ERROR "sign_setup: osslsigncode failed:\n${output}")
endif()
file(RENAME "${signed}" "${FILE}")
