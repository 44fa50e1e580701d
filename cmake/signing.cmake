# Authenticode signing of the shipped programs, switched on by QUORVANE_SIGN_CERT.
# A program is signed in place as the last step of its link, so whatever takes the
# uninstaller's file afterwards (the payload copy for "APPL" 130) takes it signed.
set(QUORVANE_SIGN_CERT "" CACHE FILEPATH
    "Code-signing certificate: a PEM chain (leaf first) with QUORVANE_SIGN_KEY, or a PKCS#12 file holding key and chain; empty leaves the programs unsigned")
set(QUORVANE_SIGN_KEY "" CACHE FILEPATH
    "PEM private key of QUORVANE_SIGN_CERT; empty when that is a PKCS#12 file")
set(QUORVANE_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File whose first line is the password of the key or of the PKCS#12 file")
set(QUORVANE_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server; empty signs without a time stamp")
set(QUORVANE_SIGN_TIME "" CACHE STRING
    "Signing time in seconds since 1970; the same time, sources and key give the same bytes; empty takes the clock")

foreach(setting QUORVANE_SIGN_CERT QUORVANE_SIGN_KEY QUORVANE_SIGN_PASSWORD_FILE)
    if(${setting} AND NOT EXISTS "${${setting}}")
        message(FATAL_ERROR "${setting}: no file ${${setting}}")
    endif()
endforeach()

set(quorvane_sign_command bash ${CMAKE_SOURCE_DIR}/scripts/sign --cert ${QUORVANE_SIGN_CERT})
if(QUORVANE_SIGN_KEY)
    list(APPEND quorvane_sign_command --key ${QUORVANE_SIGN_KEY})
endif()
if(QUORVANE_SIGN_PASSWORD_FILE)
    list(APPEND quorvane_sign_command --password-file ${QUORVANE_SIGN_PASSWORD_FILE})
endif()
if(QUORVANE_TIMESTAMP_URL)
    list(APPEND quorvane_sign_command --timestamp-url ${QUORVANE_TIMESTAMP_URL})
endif()
if(QUORVANE_SIGN_TIME)
    list(APPEND quorvane_sign_command --time ${QUORVANE_SIGN_TIME})
endif()

# A changed signing set-up changes the link rule, which relinks and so signs
# again; a certificate or key replaced under the same name has to be a dependency.
# A failed signing fails the link step, and make deletes the half-made program,
# so the next build tries again instead of embedding an unsigned uninstaller.
function(quorvane_sign target)
    if(NOT QUORVANE_SIGN_CERT)
        return()
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUORVANE_SIGN_CERT} ${QUORVANE_SIGN_KEY})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${quorvane_sign_command} $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()
