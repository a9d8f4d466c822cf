# The product: bvcl2sti.dll, built from front/, sti/, message/, events/,
# Common/ and ui/. Its objects also go into the unit tests, so that pure
# logic is tested as compiled for the product.
file(GLOB BV_PRODUCT_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/front/*.cpp
    ${CMAKE_SOURCE_DIR}/sti/*.cpp
    ${CMAKE_SOURCE_DIR}/message/*.cpp
    ${CMAKE_SOURCE_DIR}/events/*.cpp
    ${CMAKE_SOURCE_DIR}/Common/*.cpp
    ${CMAKE_SOURCE_DIR}/ui/*.cpp)
list(REMOVE_ITEM BV_PRODUCT_SOURCES ${CMAKE_SOURCE_DIR}/front/dllmain.cpp)

add_library(bvcl2sti_objects OBJECT ${BV_PRODUCT_SOURCES})
target_compile_definitions(bvcl2sti_objects PUBLIC BVL_DEFINES_BASE_TABLE WIN32_LEAN_AND_MEAN)
target_include_directories(bvcl2sti_objects PUBLIC ${CMAKE_SOURCE_DIR}/include)

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

add_library(bvcl2sti SHARED
    ${CMAKE_SOURCE_DIR}/front/dllmain.cpp
    ${CMAKE_SOURCE_DIR}/ui/bvcl2sti.rc
    ${BV_DEF_FILE}
    $<TARGET_OBJECTS:bvcl2sti_objects>)
target_include_directories(bvcl2sti PRIVATE ${CMAKE_SOURCE_DIR}/include)
set_target_properties(bvcl2sti PROPERTIES PREFIX "" OUTPUT_NAME bvcl2sti)
# The shipped DLL carries no symbol tables or debugging sections (those of
# the static C++ runtime are most of its size): every application's load
# would map them for nothing.
target_link_options(bvcl2sti PRIVATE $<$<NOT:$<CONFIG:Debug>>:-s>)
# The dialogs load the common controls themselves when they first need
# them (ui/common_controls.cpp), so the library does not import them.
