# The registry components of the package: what "bvsetup install models.ini"
# writes, generated from the models file (bv_read_models_file) and the
# registry names (bv_read_registry_names), all of HKLM. A 32-bit package's
# components write the 32-bit view, where the 32-bit library reads.

# The models file's section that holds the library's own ports.
set(BV_LIBRARY_SECTION BVL2STI)

# Appends to out one RegistryValue of type string, integer (a number as
# bv_parse_number reads it, stored as REG_DWORD) or binary (hex bytes).
# Name "*" with no value is a key alone: created when the component is
# installed and removed, with all below it, when it is removed.
function(bv_wix_value out key name type value)
    bv_wix_text("${key}" key)
    bv_wix_text("${name}" name)
    if(type STREQUAL "integer")
        bv_parse_number("${value}" value)
        if(value GREATER 4294967295)
            message(FATAL_ERROR "${key}\\${name}: ${value} does not fit a DWORD")
        elseif(value GREATER 2147483647)
            math(EXPR value "${value} - 4294967296")  # the installer reads signed
        endif()
    elseif(type STREQUAL "binary")
        string(PREPEND value "#x")  # wixl copies it as it is into the table
    else()
        bv_wix_text("${value}" value)
    endif()
    string(APPEND ${out} "            <RegistryValue Root=\"HKLM\" Key=\"${key}\" Name=\"${name}\" "
        "Type=\"${type}\" Value=\"${value}\"/>\n")
    set(${out} "${${out}}" PARENT_SCOPE)
endfunction()

# Appends a component of the given body to out_xml and its Id to out_ids;
# its GUID follows from the registry key it stands for.
function(bv_wix_registry_component out_xml out_ids id key body)
    bv_wix_guid("registry ${key}" guid)
    string(APPEND ${out_xml} "          <Component Id=\"${id}\" Guid=\"${guid}\">\n"
        "${body}          </Component>\n")
    list(APPEND ${out_ids} ${id})
    set(${out_xml} "${${out_xml}}" PARENT_SCOPE)
    set(${out_ids} "${${out_ids}}" PARENT_SCOPE)
endfunction()

# The values of one model's subkey, checked as bvsetup checks them.
function(bv_wix_model_values out section)
    set(key "${BV_kModelListKey}\\${section}")
    set(id "${BV_MODEL_${section}_modelid}")
    set(name "${BV_MODEL_${section}_modelname}")
    if(NOT id STREQUAL "")
        bv_parse_number("${id}" id)
    endif()
    string(LENGTH "${section}" keyLength)
    string(LENGTH "${name}" nameLength)
    if(keyLength GREATER 31 OR id STREQUAL "" OR id EQUAL 0 OR nameLength EQUAL 0 OR nameLength GREATER 63)
        message(FATAL_ERROR "model \"${section}\" needs a key of at most 31 characters, a modelID "
            "and a modelName of at most 63 characters")
    endif()
    set(method "${BV_MODEL_${section}_installmethod}")
    if(method STREQUAL "")
        set(method 0)
    endif()
    set(body "")
    bv_wix_value(body "${key}" "${BV_kModelID}" integer "${id}")
    bv_wix_value(body "${key}" "${BV_kModelName}" string "${name}")
    bv_wix_value(body "${key}" "${BV_kInstallMethod}" integer "${method}")
    set(detect "${BV_MODEL_${section}_cameradetectid}")
    if(NOT detect STREQUAL "")
        bv_wix_value(body "${key}" "${BV_kCameraDetectID}" string "${detect}")
    endif()
    foreach(port IN ITEMS kLastPort kDefaultPort)
        string(TOLOWER "${BV_${port}}" valueName)
        set(text "${BV_MODEL_${section}_${valueName}}")
        if(NOT text STREQUAL "")
            bv_port_bytes("${text}" hex type)
            bv_wix_value(body "${key}" "${BV_${port}}" binary "${hex}")
        endif()
    endforeach()
    set(${out} "${body}" PARENT_SCOPE)
endfunction()

# The library key: each port the library section names goes into SERIAL or
# USB by its type, with the type in defaultModel or lastModel; SERIAL and
# USB exist even when empty, as the library opens them to store ports.
function(bv_wix_library_values out)
    set(body "")
    foreach(port IN ITEMS kDefaultPort kLastPort)
        string(TOLOWER "${BV_${port}}" valueName)
        set(text "${BV_MODEL_${BV_LIBRARY_SECTION}_${valueName}}")
        if(text STREQUAL "")
            continue()
        endif()
        bv_port_bytes("${text}" hex type)
        set(kind ${BV_kSerialSubkey})
        if(type EQUAL BV_PORT_USB)
            set(kind ${BV_kUsbSubkey})
        endif()
        set(typeValue ${BV_kLastModel})
        if(port STREQUAL "kDefaultPort")
            set(typeValue ${BV_kDefaultModel})
        endif()
        bv_wix_value(body "${BV_kLibraryKey}\\${kind}" "${BV_${port}}" binary "${hex}")
        bv_wix_value(body "${BV_kLibraryKey}" "${typeValue}" integer ${type})
    endforeach()
    foreach(kind IN ITEMS ${BV_kSerialSubkey} ${BV_kUsbSubkey})
        bv_wix_value(body "${BV_kLibraryKey}\\${kind}" "*" string "")
    endforeach()
    set(${out} "${body}" PARENT_SCOPE)
endfunction()

# Sets out_xml to the registry components and appends their Ids to out_ids.
function(bv_wix_registry out_xml out_ids)
    set(components "")
    foreach(section IN LISTS BV_MODEL_SECTIONS)
        if(section STREQUAL BV_LIBRARY_SECTION)
            continue()
        endif()
        bv_wix_model_values(body "${section}")
        string(MAKE_C_IDENTIFIER "${section}" id)
        set(key "${BV_kModelListKey}\\${section}")
        bv_wix_registry_component(components ${out_ids} "model_${id}" "${key}" "${body}")
    endforeach()
    bv_wix_library_values(body)
    bv_wix_registry_component(components ${out_ids} library_keys "${BV_kLibraryKey}" "${body}")
    set(${out_xml} "${components}" PARENT_SCOPE)
    set(${out_ids} "${${out_ids}}" PARENT_SCOPE)
endfunction()
