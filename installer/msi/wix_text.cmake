# Text for a WiX attribute that lands in a formatted column of the package
# (registry keys, names and values): brackets are escaped for the
# installer, which would otherwise read them as property references, and
# the XML specials for the description.
function(bv_wix_text text out)
    string(REGEX REPLACE "([][])" "[\\\\\\1]" text "${text}")
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE "\"" "&quot;" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A GUID that stays the same for the same name in every build: a name-based
# (SHA-1) UUID below the package's upgrade code.
function(bv_wix_guid name out)
    string(UUID guid NAMESPACE ${BV_UPGRADE_CODE} NAME "${name}" TYPE SHA1 UPPER)
    set(${out} ${guid} PARENT_SCOPE)
endfunction()
