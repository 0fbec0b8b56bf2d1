# Nearly every file of the window's parts (base/, fields/, connection/,
# pages/, app/) includes the same Qt widget headers, and reading them is most
# of the time such a file takes to compile. They are compiled once, into one
# precompiled header that every part of the window reuses. A header built once
# fits only code compiled with the same options and macros: the window's parts
# all build with Qt Widgets' and Qt Network's settings (the Tag Monitor's
# sockets) and the project's, as this target does.
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/window_precompiled.cpp
     CONTENT "// The target that builds the window parts' precompiled header.\n")
add_library(tagdesk_window_pch OBJECT ${CMAKE_CURRENT_BINARY_DIR}/window_precompiled.cpp)
set_target_properties(tagdesk_window_pch PROPERTIES AUTOMOC OFF)
target_link_libraries(tagdesk_window_pch PRIVATE Qt6::Widgets Qt6::Network)
target_precompile_headers(tagdesk_window_pch PRIVATE
  <functional> <memory> <string> <vector>
  <QCheckBox> <QComboBox> <QGridLayout> <QGroupBox> <QLabel> <QLineEdit> <QRadioButton> <QString> <QWidget>)
if(TAGDESK_PCH_LAUNCHER)
  set_target_properties(tagdesk_window_pch PROPERTIES CXX_COMPILER_LAUNCHER "${TAGDESK_PCH_LAUNCHER}")
endif()

# A part of the window: compiled on the window's precompiled header.
function(tagdesk_window_part target)
  target_link_libraries(${target} PRIVATE Qt6::Network)
  target_precompile_headers(${target} REUSE_FROM tagdesk_window_pch)
  if(TAGDESK_PCH_LAUNCHER)
    set_target_properties(${target} PROPERTIES CXX_COMPILER_LAUNCHER "${TAGDESK_PCH_LAUNCHER}")
  endif()
endfunction()
