# Signs a built setup with Authenticode (SHA-256) through osslsigncode; the
# build's signing step when a signing key is configured, and what the
# signing tests run on a copy. The key is named one of two ways:
#   a PKCS#12 file:      -DPFX=<p12>
#   a key on a token:    -DPKCS11_KEY=<pkcs11: URI> -DPKCS11_MODULE=<module .so>
#                        -DCERTS=<PEM: the certificate and its intermediates>
#   cmake -DFILE=<exe> <key> [-DPASSWORD_FILE=<file>] [-DTIMESTAMP_URL=<url>]
#         -P sign_setup.cmake
# PASSWORD_FILE holds the container's password or the token's PIN. It is
# handed to osslsigncode as a file name (-readpass): the secret itself
# never stands on a command line, where other users' ps and the build log
# would show it.
# The signature is appended to the file: the embedded blocks, and the
# lengths and CRC-32 recorded for them, stay as they are.
if(NOT FILE)
    message(FATAL_ERROR "sign_setup: FILE is not set")
endif()
set(arguments sign)
if(PFX AND PKCS11_KEY)
    message(FATAL_ERROR "sign_setup: PFX and PKCS11_KEY name two keys; give one")
elseif(PFX)
    list(APPEND arguments -pkcs12 ${PFX})
elseif(PKCS11_KEY)
    if(NOT PKCS11_KEY MATCHES "^pkcs11:")
        message(FATAL_ERROR "sign_setup: PKCS11_KEY must be a pkcs11: URI")
    endif()
    # A PIN inside the URI would stand on osslsigncode's command line.
    if(PKCS11_KEY MATCHES "[;?]pin-value=")
        message(FATAL_ERROR "sign_setup: PKCS11_KEY carries a PIN (pin-value); "
                            "put the PIN into PASSWORD_FILE instead")
    endif()
    foreach(required PKCS11_MODULE CERTS)
        if(NOT ${required})
            message(FATAL_ERROR "sign_setup: PKCS11_KEY needs ${required}")
        endif()
    endforeach()
    # The URI's ';' separate its attributes: escaped, the list keeps it as
    # one argument (expanded once, below; a list nested in another would
    # lose the escape).
    string(REPLACE ";" "\\;" key "${PKCS11_KEY}")
    list(APPEND arguments -pkcs11module ${PKCS11_MODULE} -certs ${CERTS} -key "${key}")
else()
    message(FATAL_ERROR "sign_setup: neither PFX nor PKCS11_KEY is set")
endif()
find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "sign_setup: osslsigncode not found (scripts/setup installs it)")
endif()

list(APPEND arguments -h sha256 -n "PikeHarbour Setup")
# Without a password file the container is read, or the token used, without
# one: osslsigncode asks only when told to, and a token that needs a PIN
# refuses the key, which fails the step.
if(PASSWORD_FILE)
    list(APPEND arguments -readpass ${PASSWORD_FILE})
endif()
if(TIMESTAMP_URL)
    list(APPEND arguments -ts ${TIMESTAMP_URL})
endif()

set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(COMMAND ${OSSLSIGNCODE} ${arguments} -in ${FILE} -out ${signed}
    INPUT_FILE /dev/null
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${signed}")
    file(REMOVE "${signed}")
    # An unsigned setup newer than its inputs would pass for a finished
    # build next time: remove it so the failure stays visible.
    file(REMOVE "${FILE}")
    message(FATAL_ERROR "sign_setup: osslsigncode failed:\n${output}")
endif()
file(RENAME "${signed}" "${FILE}")
