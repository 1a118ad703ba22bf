# Makes the files of a release from a built setup, with CMake's own tools:
#   OUTPUT/Vantapicker-VERSION-x64-setup.exe    the setup
#   OUTPUT/Vantapicker-VERSION-x64-symbols.zip  the shipped binaries' debug information
#   OUTPUT/Vantapicker-VERSION-policies.zip     the policy template (Group Policy, Intune)
#   OUTPUT/SHA256SUMS                           the three files' SHA-256, as sha256sum writes it
#   OUTPUT/winget/                              the package manager's manifests
#   cmake -DSETUP=... -DVERSION=a.b.c -DOUTPUT=... -DSYMBOLS="a.debug;b.debug"
#         -DPOLICIES=...-policies.zip -DTEMPLATES=installer/winget -DHOME_PAGE=... -DDOWNLOAD_URL=... -P Release.cmake
cmake_minimum_required(VERSION 3.21)

foreach(input SETUP VERSION OUTPUT SYMBOLS POLICIES TEMPLATES HOME_PAGE DOWNLOAD_URL)
    if(NOT DEFINED ${input})
        message(FATAL_ERROR "Release.cmake: ${input} is not given")
    endif()
endforeach()

file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT}/winget ${OUTPUT}/symbols)

set(SETUP_NAME Vantapicker-${VERSION}-x64-setup.exe)
set(symbols_name Vantapicker-${VERSION}-x64-symbols.zip)
set(policies_name Vantapicker-${VERSION}-policies.zip)
file(COPY_FILE ${SETUP} ${OUTPUT}/${SETUP_NAME})
file(COPY_FILE ${POLICIES} ${OUTPUT}/${policies_name})

# The archive holds the .debug files by their names alone.
set(symbol_names)
foreach(symbols IN LISTS SYMBOLS)
    get_filename_component(name ${symbols} NAME)
    if(NOT EXISTS ${symbols})
        message(FATAL_ERROR "Release.cmake: ${symbols} is missing")
    endif()
    file(COPY_FILE ${symbols} ${OUTPUT}/symbols/${name})
    list(APPEND symbol_names ${name})
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ../${symbols_name} --format=zip ${symbol_names}
                WORKING_DIRECTORY ${OUTPUT}/symbols RESULT_VARIABLE result)
file(REMOVE_RECURSE ${OUTPUT}/symbols)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Release.cmake: the symbols archive could not be made")
endif()

set(sums "")
foreach(name ${SETUP_NAME} ${symbols_name} ${policies_name})
    file(SHA256 ${OUTPUT}/${name} hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${OUTPUT}/SHA256SUMS "${sums}")

file(SHA256 ${OUTPUT}/${SETUP_NAME} SETUP_SHA256)
string(TOUPPER ${SETUP_SHA256} SETUP_SHA256)
file(GLOB templates ${TEMPLATES}/*.yaml.in)
foreach(template IN LISTS templates)
    get_filename_component(name ${template} NAME_WLE)
    configure_file(${template} ${OUTPUT}/winget/${name} @ONLY)
endforeach()
message(STATUS "Release files: ${OUTPUT}")
