# Signs Windows binaries in place (Authenticode, SHA-256) with osslsigncode, and has each
# signature timestamped when a timestamp server is named, so that it still verifies after
# the certificate has expired. Runs wherever CMake runs, Windows included:
#   cmake [-DSETTINGS=sign-settings.cmake] -P sign.cmake FILE...
# The settings come from the SETTINGS file (the build writes one), else from environment
# variables of the same names:
#   VP_SIGN_PFX            a PKCS#12 file with the certificate and its key, or
#   VP_SIGN_PKCS11_KEY     the key in a hardware token or cloud HSM, as a pkcs11: URI, with
#   VP_SIGN_PKCS11_MODULE  the token's PKCS#11 module (.dll or .so) and
#   VP_SIGN_CERT           the certificate that goes with the key (PEM or DER, with its chain);
#   VP_SIGN_TIMESTAMP_URL  an RFC 3161 timestamp server (empty: no timestamp).
# The password of the PKCS#12 file, or the token's PIN, is read from the environment
# variable VP_SIGN_PASSWORD. It reaches osslsigncode through a file that only this user can
# read, never a command line, where other users could see it.
cmake_minimum_required(VERSION 3.21)

if(DEFINED SETTINGS AND NOT SETTINGS STREQUAL "")
    include(${SETTINGS})
endif()
foreach(setting VP_SIGN_PFX VP_SIGN_PKCS11_KEY VP_SIGN_PKCS11_MODULE VP_SIGN_CERT
                VP_SIGN_TIMESTAMP_URL)
    if(NOT DEFINED ${setting})
        set(${setting} "$ENV{${setting}}")
    endif()
endforeach()

# The files: every argument after the script's name.
math(EXPR last "${CMAKE_ARGC} - 1")
set(files)
foreach(index RANGE ${last})
    if(CMAKE_ARGV${index} STREQUAL "-P")
        math(EXPR first "${index} + 2")
    elseif(DEFINED first AND index GREATER_EQUAL first)
        list(APPEND files "${CMAKE_ARGV${index}}")
    endif()
endforeach()
if(NOT files)
    message(FATAL_ERROR "usage: cmake [-DSETTINGS=FILE] -P sign.cmake FILE...")
endif()

if(VP_SIGN_PKCS11_KEY)
    if(NOT VP_SIGN_PKCS11_MODULE OR NOT VP_SIGN_CERT)
        message(FATAL_ERROR "sign.cmake: a PKCS#11 key needs VP_SIGN_PKCS11_MODULE and VP_SIGN_CERT")
    endif()
    # The URI stays one argument: its ";" is no list separator here.
    set(key_options -pkcs11module "${VP_SIGN_PKCS11_MODULE}" -certs "${VP_SIGN_CERT}" -key)
    set(key "${VP_SIGN_PKCS11_KEY}")
elseif(VP_SIGN_PFX)
    set(key_options -pkcs12)
    set(key "${VP_SIGN_PFX}")
else()
    message(FATAL_ERROR "sign.cmake: name a certificate with VP_SIGN_PFX or VP_SIGN_PKCS11_KEY")
endif()
set(timestamp_options)
if(VP_SIGN_TIMESTAMP_URL)
    set(timestamp_options -ts "${VP_SIGN_TIMESTAMP_URL}")
endif()

find_program(OSSLSIGNCODE osslsigncode)
if(NOT OSSLSIGNCODE)
    message(FATAL_ERROR "sign.cmake: osslsigncode is missing (tools/install-deps.sh installs it)")
endif()

if(DEFINED ENV{TMPDIR})
    set(temp "$ENV{TMPDIR}")
elseif(DEFINED ENV{TEMP})
    set(temp "$ENV{TEMP}")
else()
    set(temp /tmp)
endif()
string(RANDOM LENGTH 12 name)
set(work "${temp}/vp-sign-${name}")
file(MAKE_DIRECTORY "${work}")
file(CHMOD "${work}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(WRITE "${work}/password" "$ENV{VP_SIGN_PASSWORD}")

# Every way out of the loop below comes back here, so that the password file never stays.
set(failed "")
foreach(file IN LISTS files)
    execute_process(
        COMMAND ${OSSLSIGNCODE} sign ${key_options} "${key}" -readpass "${work}/password"
                -h sha256 -n Vantapicker -i https://www.quenhollow.example/vantapicker/
                ${timestamp_options} -in "${file}" -out "${work}/signed"
        RESULT_VARIABLE result OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        set(failed "osslsigncode could not sign ${file}")
        break()
    endif()
    # The signature must cover the file as written, and carry the timestamp asked for.
    # Whether the chain is trusted depends on this machine's certificate store, so the
    # digests are compared instead of the verdict.
    execute_process(COMMAND ${OSSLSIGNCODE} verify -in "${work}/signed"
                    OUTPUT_VARIABLE verified ERROR_VARIABLE verified)
    string(REGEX MATCH "Current message digest *: *([0-9A-Fa-f]+)" found "${verified}")
    set(current "${CMAKE_MATCH_1}")
    string(REGEX MATCH "Calculated message digest *: *([0-9A-Fa-f]+)" found "${verified}")
    if(current STREQUAL "" OR NOT current STREQUAL CMAKE_MATCH_1)
        set(failed "the signature of ${file} does not verify")
        break()
    endif()
    if(VP_SIGN_TIMESTAMP_URL AND verified MATCHES "Timestamp is not available")
        set(failed "the signature of ${file} carries no timestamp")
        break()
    endif()
    file(COPY_FILE "${work}/signed" "${file}" RESULT copied)
    if(NOT copied EQUAL 0)
        set(failed "could not write the signed ${file}: ${copied}")
        break()
    endif()
    file(REMOVE "${work}/signed")
endforeach()
file(REMOVE_RECURSE "${work}")
if(failed)
    message(FATAL_ERROR "sign.cmake: ${failed}")
endif()
