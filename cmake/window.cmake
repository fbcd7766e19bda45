# The window and its tests. wx's include paths, definitions and flags go only
# to the targets that link brenvox_wx (not to the plain units, the tool or
# their tests), so a wx include in a plain unit fails to build.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base xrc xml adv)
add_library(brenvox_wx INTERFACE)
target_include_directories(brenvox_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(brenvox_wx INTERFACE ${wxWidgets_DEFINITIONS}
  $<$<CONFIG:Debug>:${wxWidgets_DEFINITIONS_DEBUG}>)
separate_arguments(BRENVOX_WX_CXX_FLAGS UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
target_compile_options(brenvox_wx INTERFACE ${BRENVOX_WX_CXX_FLAGS})
target_link_libraries(brenvox_wx INTERFACE ${wxWidgets_LIBRARIES})

# Dialog templates, context menu, icon and strings, embedded in the program.
file(GLOB XRC_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.xrc)
set(XRC_CPP ${PROJECT_BINARY_DIR}/resources_xrc.cpp)
add_custom_command(
  OUTPUT ${XRC_CPP}
  COMMAND wxrc -c -o ${XRC_CPP} ${XRC_FILES}
  DEPENDS ${XRC_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/resources
  COMMENT "Embedding the dialog templates")

# The program's icon, drawn by the program from its SVG at the sizes the
# screen asks for: the text of resources/brenvoxgui.svg as a string constant.
set(ICON_SVG ${PROJECT_SOURCE_DIR}/resources/brenvoxgui.svg)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ICON_SVG})
file(READ ${ICON_SVG} BRENVOXGUI_SVG_TEXT)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/brenvoxgui_svg.h @ONLY CONTENT
  "// Generated from resources/brenvoxgui.svg by cmake/window.cmake.\n#pragma once\n\
inline constexpr const char* BRENVOXGUI_SVG = R\"svg(@BRENVOXGUI_SVG_TEXT@)svg\";\n")

# The window: the window/ subfolder of every folder.
file(GLOB GUI_SOURCES CONFIGURE_DEPENDS
  common/window/*.cpp layout/window/*.cpp image/window/*.cpp content/window/*.cpp app/window/*.cpp)
list(REMOVE_ITEM GUI_SOURCES ${PROJECT_SOURCE_DIR}/app/window/main.cpp)
add_library(brenvox_gui STATIC ${GUI_SOURCES} ${XRC_CPP})
target_include_directories(brenvox_gui PRIVATE ${PROJECT_BINARY_DIR}/generated)
target_link_libraries(brenvox_gui PUBLIC brenvox_plain brenvox_wx)

add_executable(brenvoxgui app/window/main.cpp)
target_link_libraries(brenvoxgui PRIVATE brenvox_gui)

include(cmake/Translations.cmake)
add_dependencies(brenvoxgui translations)

