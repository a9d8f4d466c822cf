# Reads the registry names from Common/registry_names.h, the one place that
# states them: every `constexpr char kName[] = "text";` line sets BV_<kName>
# in the caller's scope to the text, with its C escapes (\\) undone.
function(bv_read_registry_names header)
    file(STRINGS "${header}" lines REGEX "^constexpr char k[A-Za-z]+\\[\\] = \"[^\"]*\";")
    if(NOT lines)
        message(FATAL_ERROR "no registry names in ${header}")
    endif()
    foreach(line IN LISTS lines)
        string(REGEX MATCH "^constexpr char (k[A-Za-z]+)\\[\\] = \"([^\"]*)\";" _ "${line}")
        string(REPLACE "\\\\" "\\" text "${CMAKE_MATCH_2}")
        set(BV_${CMAKE_MATCH_1} "${text}" PARENT_SCOPE)
    endforeach()
endfunction()
