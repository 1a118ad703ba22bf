# Checks that each layer includes only from itself and the layers below it, and that
# the portable code includes no Windows header. Prints every offending line and fails.
#   cmake [-DROOT=DIR] -P tools/check-layers.cmake
if(NOT DEFINED ROOT)
    get_filename_component(ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

# From the bottom up. resources/ holds the program's resource ids and texts: the window
# layer below it serves any program, the layers above it are this program's own.
set(layers base win resources core hook sites popup options app)

# The lines of a file as a list, empty lines kept so that the position is the line
# number; the characters that a CMake list treats specially stand in for themselves as
# <semicolon>, <open> and <close> (put back by shown_line).
function(read_lines file out)
    file(READ "${file}" content)
    string(REPLACE ";" "<semicolon>" content "${content}")
    string(REPLACE "[" "<open>" content "${content}")
    string(REPLACE "]" "<close>" content "${content}")
    string(REPLACE "\r" "" content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()
function(shown_line line out)
    string(REPLACE "<semicolon>" ";" line "${line}")
    string(REPLACE "<open>" "[" line "${line}")
    string(REPLACE "<close>" "]" line "${line}")
    set(${out} "${line}" PARENT_SCOPE)
endfunction()

# Portable sources of every layer (from the one source list), their headers, and all
# of base/.
file(STRINGS "${ROOT}/cmake/Sources.cmake" sourceLines)
set(portable)
set(inPortableList FALSE)
foreach(line IN LISTS sourceLines)
    if(line MATCHES "^set\\(VP_(BASE|SITES_PORTABLE)_SOURCES")
        set(inPortableList TRUE)
    elseif(line MATCHES "^\\)")
        set(inPortableList FALSE)
    elseif(inPortableList AND line MATCHES "([a-z]+/[A-Za-z0-9_]+)\\.cpp")
        list(APPEND portable "${CMAKE_MATCH_1}.cpp")
        if(EXISTS "${ROOT}/${CMAKE_MATCH_1}.h")
            list(APPEND portable "${CMAKE_MATCH_1}.h")
        endif()
    endif()
endforeach()
file(GLOB baseFiles RELATIVE "${ROOT}" "${ROOT}/base/*.h" "${ROOT}/base/*.cpp")
list(APPEND portable ${baseFiles} hook/GestureMatch.h)
list(REMOVE_DUPLICATES portable)

set(failed FALSE)
foreach(layer IN LISTS layers)
    if(NOT IS_DIRECTORY "${ROOT}/${layer}")
        continue()
    endif()
    list(FIND layers "${layer}" own)
    file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp"
         "${ROOT}/${layer}/*.rc")
    list(SORT files)
    foreach(file IN LISTS files)
        read_lines("${ROOT}/${file}" lines)
        set(number 0)
        foreach(line IN LISTS lines)
            math(EXPR number "${number} + 1")
            if(line MATCHES "^[ \t]*#[ \t]*include[ \t]+\"([a-z]+)/")
                list(FIND layers "${CMAKE_MATCH_1}" other)
                if(other GREATER own)
                    shown_line("${line}" line)
                    message("${file}:${number}:${line}    <- ${layer}/ includes from "
                            "${CMAKE_MATCH_1}/, a layer above it")
                    set(failed TRUE)
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()

foreach(file IN LISTS portable)
    if(NOT EXISTS "${ROOT}/${file}")
        continue()
    endif()
    read_lines("${ROOT}/${file}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(line MATCHES
           "^[ \t]*#[ \t]*include[ \t]*<(windows|winuser|winbase|commctrl|shellapi|objbase|wincrypt)\\.h>")
            shown_line("${line}" line)
            message("${file}:${number}:${line}    <- portable code includes a Windows header")
            set(failed TRUE)
        endif()
    endforeach()
endforeach()

if(failed)
    message(FATAL_ERROR "layers: an include points up")
endif()
message("layers: every include points down")
