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

# The window parts: everything in app/, layout/, content/, image/ but the plain units.
file(GLOB GUI_SOURCES CONFIGURE_DEPENDS
  app/*.cpp layout/*.cpp content/*.cpp image/*.cpp)
list(REMOVE_ITEM GUI_SOURCES ${PROJECT_SOURCE_DIR}/app/main.cpp ${PROJECT_SOURCE_DIR}/image/ImagePlanWorker.cpp
  ${PROJECT_SOURCE_DIR}/image/OutputCheck.cpp)
foreach(src ${PLAIN_SOURCES})
  list(REMOVE_ITEM GUI_SOURCES ${PROJECT_SOURCE_DIR}/${src})
endforeach()
add_library(brenvox_gui STATIC ${GUI_SOURCES} ${XRC_CPP})
target_include_directories(brenvox_gui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(brenvox_gui PUBLIC brenvox_plan brenvox_wx)

add_executable(brenvoxgui app/main.cpp)
target_link_libraries(brenvoxgui PRIVATE brenvox_gui)

