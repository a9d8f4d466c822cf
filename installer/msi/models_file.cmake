# Reads a models file the way bvsetup reads it through the profile API:
# "[section]" lines, "name=value" lines with both sides trimmed and the
# name's case ignored, lines starting with ';' as comments. Sets, in the
# caller's scope, BV_MODEL_SECTIONS (in file order) and
# BV_MODEL_<section>_<name in lower case> for each value.
function(bv_read_models_file path)
    file(READ "${path}" text)
    # A ';' inside a value must not split the list of lines.
    string(ASCII 1 semicolon)
    string(REPLACE ";" "${semicolon}" text "${text}")
    string(REPLACE "\r" "" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(sections "")
    set(section "")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        if(line MATCHES "^\\[([^]]+)\\]$")
            set(section "${CMAKE_MATCH_1}")
            list(APPEND sections "${section}")
        elseif(NOT section STREQUAL "" AND line MATCHES "^([^${semicolon}=][^=]*)=(.*)$")
            string(STRIP "${CMAKE_MATCH_1}" name)
            string(STRIP "${CMAKE_MATCH_2}" value)
            string(TOLOWER "${name}" name)
            string(REPLACE "${semicolon}" ";" value "${value}")
            set(BV_MODEL_${section}_${name} "${value}" PARENT_SCOPE)
        endif()
    endforeach()
    set(BV_MODEL_SECTIONS "${sections}" PARENT_SCOPE)
endfunction()
