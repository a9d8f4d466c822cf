# The SDK of the 32-bit library: "cmake --install" gives
#   bin/        bvcl2sti.dll, bvcam.exe, bvsetup.exe
#   include/    bvcl2sti.h
#   lib/        libbvcl2sti.dll.a (GNU linkers), bvcl2sti.lib (MSVC-style),
#               cmake/Bvcl2sti/ (find_package(Bvcl2sti))
#   share/      the models file, the README and the API reference
#   sim/        the stand-ins and sample cards, to develop without a camera
# and the package target makes a ZIP of that tree and an MSI.

# The DLL exports each operation by its decorated name (_baseGetVols@8).
# A caller's declaration asks for the symbol __imp__baseGetVols@8, so each
# import library maps that symbol to the decorated export name. The module
# definition is the one list of exports; both inputs are derived from it.
# The undecorated aliases (bvlTestWakeupCode, RS232C_...) are left out: a
# caller of the header reaches the same functions by their decorated names.
set(BV_SDK_DIR ${CMAKE_BINARY_DIR}/sdk)
file(READ ${BV_DEF_SOURCE} bv_def_text)
string(REGEX REPLACE "\n +[A-Za-z][A-Za-z0-9_]* = [A-Za-z0-9_]+@[0-9]+" "" bv_def_text "${bv_def_text}")
# dlltool: "symbol == export name".
string(REGEX REPLACE "\n +_([A-Za-z0-9_]+@[0-9]+) = [^\n]*" "\n    \\1 == _\\1" bv_gnu_def "${bv_def_text}")
# lld-link: a decorated name stands for itself, as with Microsoft's tools.
string(REGEX REPLACE "\n +(_[A-Za-z0-9_]+@[0-9]+) = [^\n]*" "\n    \\1" bv_msvc_def "${bv_def_text}")
file(WRITE ${BV_SDK_DIR}/bvcl2sti-gnu.def "${bv_gnu_def}")
file(WRITE ${BV_SDK_DIR}/bvcl2sti-msvc.def "${bv_msvc_def}")

find_program(BV_DLLTOOL ${BV_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(BV_LLD_LINK lld-link REQUIRED)
add_custom_command(OUTPUT ${BV_SDK_DIR}/libbvcl2sti.dll.a
    COMMAND ${BV_DLLTOOL} -m i386 -d ${BV_SDK_DIR}/bvcl2sti-gnu.def -l ${BV_SDK_DIR}/libbvcl2sti.dll.a
    DEPENDS ${BV_SDK_DIR}/bvcl2sti-gnu.def ${BV_DEF_SOURCE}
    COMMENT "GNU import library of bvcl2sti.dll")
# Given a module definition and no input, lld-link writes only the import
# library.
add_custom_command(OUTPUT ${BV_SDK_DIR}/bvcl2sti.lib
    COMMAND ${BV_LLD_LINK} -def:${BV_SDK_DIR}/bvcl2sti-msvc.def -machine:x86
        -out:${BV_SDK_DIR}/bvcl2sti.dll -implib:${BV_SDK_DIR}/bvcl2sti.lib
    DEPENDS ${BV_SDK_DIR}/bvcl2sti-msvc.def ${BV_DEF_SOURCE}
    COMMENT "MSVC-style import library of bvcl2sti.dll")

add_custom_target(sdk_files ALL DEPENDS ${BV_SDK_DIR}/libbvcl2sti.dll.a ${BV_SDK_DIR}/bvcl2sti.lib)
if(TARGET api_reference)
    add_dependencies(sdk_files api_reference)
endif()

include(CMakePackageConfigHelpers)
configure_file(${CMAKE_SOURCE_DIR}/cmake/Bvcl2stiConfig.cmake.in ${BV_SDK_DIR}/Bvcl2stiConfig.cmake @ONLY)
# The configuration file itself turns 64-bit consumers away, with a message
# of its own; the version file therefore does not judge pointer sizes.
write_basic_package_version_file(${BV_SDK_DIR}/Bvcl2stiConfigVersion.cmake
    COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)

install(PROGRAMS $<TARGET_FILE:bvcl2sti> $<TARGET_FILE:bvcam> $<TARGET_FILE:bvsetup> DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/include/bvcl2sti.h DESTINATION include)
# The TWAIN data source with the library beside it, in the folder layout of
# the Windows folder's twain_32.
install(PROGRAMS $<TARGET_FILE:bvcl2sti_ds> $<TARGET_FILE:bvcl2sti> DESTINATION twain_32/Bvcl2STI)
install(FILES ${BV_SDK_DIR}/libbvcl2sti.dll.a ${BV_SDK_DIR}/bvcl2sti.lib DESTINATION lib)
install(FILES ${BV_SDK_DIR}/Bvcl2stiConfig.cmake ${BV_SDK_DIR}/Bvcl2stiConfigVersion.cmake
    DESTINATION lib/cmake/Bvcl2sti)
install(FILES ${CMAKE_SOURCE_DIR}/installer/models.ini DESTINATION share/bvcl2sti)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/bvcl2sti)
if(TARGET api_reference)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/docs/api/html/ DESTINATION share/doc/bvcl2sti/api)
endif()
# The simulator: copied beside an application, it stands in for the Still
# Image service (Sti.dll, with the virtual camera in bvsim.dll configured by
# bvsim-sti.ini and the cards folder) and for the serial library
# (BVCLL.DLL); simdriver.exe plays the camera driver's events.
install(PROGRAMS $<TARGET_FILE:fake_sti> $<TARGET_FILE:bvsim> $<TARGET_FILE:simdriver> $<TARGET_FILE:fake_bvcll>
    DESTINATION sim)
install(FILES ${CMAKE_SOURCE_DIR}/sim/cards/bvsim-sti.ini ${CMAKE_SOURCE_DIR}/sim/README.txt DESTINATION sim)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/sim/cards/slot1 ${CMAKE_SOURCE_DIR}/sim/cards/slot2 DESTINATION sim/cards)

# Packages: the SDK as a ZIP of the whole tree, and an MSI of the library
# and its tools with the registry configuration (no simulator), which
# installer/msi/make_msi.cmake makes with wixl from the same staged tree.
set(CPACK_PACKAGE_NAME Bvcl2STI)
set(CPACK_PACKAGE_VENDOR Orvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Bvcl2STI-${PROJECT_VERSION}-win32)
set(CPACK_GENERATOR ZIP External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/installer/msi/make_msi.cmake)
set(CPACK_BV_SOURCE_DIR ${CMAKE_SOURCE_DIR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
