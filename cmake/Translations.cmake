# The window's texts in other languages (gettext, as wx reads it):
#   po/brenvoxgui.pot  extracted at every build into the build tree from the
#                      window's sources and the dialog templates;
#   po/LANG.po         one catalog per language, kept by its translator (the
#                      build never rewrites it); every po/*.po is compiled,
#                      checked, into share/locale/LANG/LC_MESSAGES/brenvoxgui.mo
#                      of the build tree (found from build/bin) and installed
#                      under the prefix the same way.
# The tool (tool/) is left out: its messages stay English.
find_program(XGETTEXT xgettext REQUIRED)
find_program(MSGFMT msgfmt REQUIRED)
find_program(WXRC wxrc REQUIRED)

set(BRENVOX_POT ${PROJECT_BINARY_DIR}/po/brenvoxgui.pot)
set(BRENVOX_LOCALE_DIR ${PROJECT_BINARY_DIR}/share/locale)

file(GLOB_RECURSE TRANSLATED_SOURCES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
  common/*.h common/*.cpp layout/*.h layout/*.cpp image/*.h image/*.cpp
  content/*.h content/*.cpp app/*.h app/*.cpp)
set(XRC_STRINGS ${PROJECT_BINARY_DIR}/po/xrc_strings.cpp)
add_custom_command(
  OUTPUT ${XRC_STRINGS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/po
  COMMAND ${WXRC} --gettext -o ${XRC_STRINGS} ${XRC_FILES}
  DEPENDS ${XRC_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/resources
  COMMENT "Listing the dialog templates' texts")
# The keywords: _ and wxPLURAL in the window's files, the marks on constants
# (TEXT_, PLURAL_TEXT_) translated where they are shown, the plain units' Translated* functions.
add_custom_command(
  OUTPUT ${BRENVOX_POT}
  COMMAND ${XGETTEXT} --language=C++ --from-code=UTF-8 --add-comments=TRANSLATORS
          --keyword=_ --keyword=TEXT_ --keyword=PLURAL_TEXT_:1,2 --keyword=wxPLURAL:1,2
          --keyword=Translated --keyword=TranslatedFormat --keyword=TranslatedPlural:2,3
          --flag=TranslatedFormat:1:c-format --flag=TranslatedPlural:2:c-format
          --flag=TranslatedPlural:3:c-format
          --package-name=brenvoxgui --package-version=${PROJECT_VERSION} --sort-by-file
          --directory=${PROJECT_SOURCE_DIR} --output=${BRENVOX_POT}
          ${TRANSLATED_SOURCES} ${XRC_STRINGS}
  DEPENDS ${TRANSLATED_SOURCES} ${XRC_STRINGS}
  COMMENT "Extracting the window's texts into brenvoxgui.pot")

file(GLOB PO_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(MO_FILES)
foreach(po ${PO_FILES})
  get_filename_component(lang ${po} NAME_WE)
  set(mo ${BRENVOX_LOCALE_DIR}/${lang}/LC_MESSAGES/brenvoxgui.mo)
  add_custom_command(
    OUTPUT ${mo}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BRENVOX_LOCALE_DIR}/${lang}/LC_MESSAGES
    COMMAND ${MSGFMT} --check --output-file=${mo} ${po}
    DEPENDS ${po}
    COMMENT "Compiling the ${lang} catalog")
  list(APPEND MO_FILES ${mo})
endforeach()
add_custom_target(translations ALL DEPENDS ${BRENVOX_POT} ${MO_FILES})
