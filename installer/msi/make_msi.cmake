# Builds the MSI package of the 32-bit library with wixl, as CPack's
# External generator runs it on the staged install tree
# (CPACK_TEMPORARY_DIRECTORY). The package installs bin/ and
# share/bvcl2sti/ below "Program Files\Bvcl2STI" and writes what
# "bvsetup install models.ini" writes to the registry; removing it takes
# back what it wrote. The WiX description is generated from the models
# file and the registry names of the sources, and kept beside the package.
#
# Writes ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi.
cmake_minimum_required(VERSION 3.25)

foreach(part IN ITEMS registry_names models_file port_bytes wix_text wix_files wix_registry)
    include(${CMAKE_CURRENT_LIST_DIR}/${part}.cmake)
endforeach()

# Never changes: it ties every version of the package together, and the
# other GUIDs are derived from it.
set(BV_UPGRADE_CODE 3E0B6A2C-8F41-4D5E-9A7B-62C1D0F4B853)
set(BV_VERSION ${CPACK_PACKAGE_VERSION})
# One product code per version, unless the build fixes one.
if(CPACK_BV_PRODUCT_CODE)
    set(BV_PRODUCT_CODE ${CPACK_BV_PRODUCT_CODE})
else()
    bv_wix_guid("product ${BV_VERSION}" BV_PRODUCT_CODE)
endif()

bv_read_registry_names(${CPACK_BV_SOURCE_DIR}/Common/registry_names.h)
bv_read_port_constants(${CPACK_BV_SOURCE_DIR}/include/bvcl2sti.h)
bv_read_models_file(${CPACK_BV_SOURCE_DIR}/installer/models.ini)

set(component_ids "")
bv_wix_files(BV_FILE_COMPONENTS component_ids ${CPACK_TEMPORARY_DIRECTORY} "bin;share/bvcl2sti")
# The TWAIN data source goes to the Windows folder's twain_32 folder, where
# TWAIN's source managers look for sources.
bv_wix_files(BV_TWAIN_COMPONENTS component_ids ${CPACK_TEMPORARY_DIRECTORY} "twain_32")
bv_wix_registry(BV_REGISTRY_COMPONENTS component_ids)
set(BV_COMPONENT_REFS "")
foreach(id IN LISTS component_ids)
    string(APPEND BV_COMPONENT_REFS "      <ComponentRef Id=\"${id}\"/>\n")
endforeach()

set(wxs ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.wxs)
set(msi ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
configure_file(${CMAKE_CURRENT_LIST_DIR}/bvcl2sti.wxs.in ${wxs} @ONLY)
execute_process(COMMAND wixl -a x86 -o ${msi} ${wxs} WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "wixl failed (${rc}) on ${wxs}")
endif()
