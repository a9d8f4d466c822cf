# The product: bvcl2sti.dll. Each product folder is a static library that
# sees only its own headers and those of the layers below it, linked in
# layer order from the bottom:
#   1 Common        errors and exceptions with the one guard, guarded blocks,
#                   the process state, the registry store, stream wrappers
#   2 sti, events,  the still-image transport; the driver's event channel;
#     front/serial  the serial library: loading, its table, the pass-through
#   3 message, ui   raw message exchange over either road; the dialogs
#   4 front/usb     the USB road of the base operations
#   5 front         the exports, the road tables and dispatch, what the
#                   dialogs show, module load and unload
# Headers are included by name only, so a header of a higher layer (or of
# a neighbour the library does not link) is not found and an include that
# climbs fails to build. The tests link the same libraries, so pure logic
# is tested as compiled for the product.
set(BV_PRODUCT_FOLDERS Common sti events front/serial message ui front/usb front)
list(TRANSFORM BV_PRODUCT_FOLDERS PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE BV_PRODUCT_INCLUDE_DIRS)
list(APPEND BV_PRODUCT_INCLUDE_DIRS ${CMAKE_SOURCE_DIR}/include)

function(bv_product_library name folder)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/front/dllmain.cpp)
    foreach(source ${sources})
        file(STRINGS ${source} climbing REGEX "#include \"\\.\\./")
        if(climbing)
            message(FATAL_ERROR "${source}: product headers are included by name: ${climbing}")
        endif()
    endforeach()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/${folder})
    target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

bv_product_library(bv_common Common)
target_include_directories(bv_common PUBLIC ${CMAKE_SOURCE_DIR}/include)
target_compile_definitions(bv_common PUBLIC BVL_DEFINES_BASE_TABLE WIN32_LEAN_AND_MEAN)
bv_product_library(bv_sti sti bv_common)
bv_product_library(bv_events events bv_common)
bv_product_library(bv_serial front/serial bv_common)
bv_product_library(bv_message message bv_serial bv_sti)
bv_product_library(bv_ui ui bv_common bv_events)
bv_product_library(bv_usb front/usb bv_message bv_events bv_sti)
bv_product_library(bv_front front bv_usb bv_ui bv_message bv_serial bv_events bv_sti)

# The module definition file is written for i686, where the exported
# names are the decorated standard-call names of the functions. On x86_64
# functions carry no decoration, so the internal names lose their "@N".
set(BV_DEF_SOURCE ${CMAKE_SOURCE_DIR}/front/bvcl2sti.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BV_DEF_SOURCE})
if(BV_ARCH STREQUAL "i686")
    set(BV_DEF_FILE ${BV_DEF_SOURCE})
else()
    file(READ ${BV_DEF_SOURCE} def_text)
    string(REGEX REPLACE "= *([A-Za-z0-9_]+)@[0-9]+" "= \\1" def_text "${def_text}")
    set(BV_DEF_FILE ${CMAKE_BINARY_DIR}/bvcl2sti-x86_64.def)
    file(WRITE ${BV_DEF_FILE} "${def_text}")
endif()

# The resource script is compiled into the DLL itself: a resource object
# inside a static library would be dropped at link time. Every object of
# the top layer goes in, for the exports the module definition names.
add_library(bvcl2sti SHARED
    ${CMAKE_SOURCE_DIR}/front/dllmain.cpp
    ${CMAKE_SOURCE_DIR}/ui/bvcl2sti.rc
    ${BV_DEF_FILE})
target_link_libraries(bvcl2sti PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,bv_front>")
set_target_properties(bvcl2sti PROPERTIES PREFIX "" OUTPUT_NAME bvcl2sti)
# The shipped DLL carries no symbol tables or debugging sections (those of
# the static C++ runtime are most of its size): every application's load
# would map them for nothing.
target_link_options(bvcl2sti PRIVATE $<$<NOT:$<CONFIG:Debug>>:-s>)
# The dialogs load the common controls themselves when they first need
# them (ui/common_controls.cpp), so the library does not import them.
