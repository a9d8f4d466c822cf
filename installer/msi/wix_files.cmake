# The file components of the package: the files of the staged install tree
# below the shipped folders, in the same folders below the install folder,
# one component per file with the file as its key path.

# Appends to out_xml the components of the files directly in folder rel
# ("" for the install folder itself) and the Directory elements of its
# subfolders, recursively; appends the component Ids to out_ids.
# BV_STAGED_FILES holds the files relative to the staged tree, where wixl
# runs, as it takes no absolute sources.
function(bv_wix_folder out_xml out_ids rel indent)
    set(children "")
    foreach(file IN LISTS BV_STAGED_FILES)
        get_filename_component(folder "${file}" DIRECTORY)
        if(folder STREQUAL rel)
            string(MAKE_C_IDENTIFIER "${file}" id)
            get_filename_component(name "${file}" NAME)
            bv_wix_guid("file ${file}" guid)
            string(APPEND ${out_xml} "${indent}<Component Id=\"cmp_${id}\" Guid=\"${guid}\">\n"
                "${indent}  <File Id=\"file_${id}\" Name=\"${name}\" Source=\"${file}\" KeyPath=\"yes\"/>\n"
                "${indent}</Component>\n")
            list(APPEND ${out_ids} cmp_${id})
        elseif(rel STREQUAL "")
            string(REGEX MATCH "^[^/]+" child "${folder}")
            list(APPEND children "${child}")
        else()
            string(FIND "${folder}/" "${rel}/" at)
            if(at EQUAL 0)
                string(LENGTH "${rel}/" skip)
                string(SUBSTRING "${folder}" ${skip} -1 below)
                string(REGEX MATCH "^[^/]+" child "${below}")
                list(APPEND children "${rel}/${child}")
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES children)
    foreach(child IN LISTS children)
        string(MAKE_C_IDENTIFIER "${child}" id)
        get_filename_component(name "${child}" NAME)
        string(APPEND ${out_xml} "${indent}<Directory Id=\"dir_${id}\" Name=\"${name}\">\n")
        bv_wix_folder(${out_xml} ${out_ids} "${child}" "${indent}  ")
        string(APPEND ${out_xml} "${indent}</Directory>\n")
    endforeach()
    set(${out_xml} "${${out_xml}}" PARENT_SCOPE)
    set(${out_ids} "${${out_ids}}" PARENT_SCOPE)
endfunction()

# Sets out_xml to the folders and file components of the shipped folders
# (relative to stage) and appends the component Ids to out_ids.
function(bv_wix_files out_xml out_ids stage shipped)
    set(globs "")
    foreach(folder IN LISTS shipped)
        list(APPEND globs "${stage}/${folder}/*")
    endforeach()
    file(GLOB_RECURSE BV_STAGED_FILES RELATIVE "${stage}" LIST_DIRECTORIES false ${globs})
    if(NOT BV_STAGED_FILES)
        message(FATAL_ERROR "nothing staged in ${stage} below ${shipped}")
    endif()
    list(SORT BV_STAGED_FILES)
    set(components "")
    bv_wix_folder(components ${out_ids} "" "          ")
    set(${out_xml} "${components}" PARENT_SCOPE)
    set(${out_ids} "${${out_ids}}" PARENT_SCOPE)
endfunction()
