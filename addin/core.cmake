# The controller and connection class, and the LumoraAddIn plugin around them.
add_library(lumora_addin STATIC
  Connect.h Connect.cpp
  OlAddIn.h OlAddIn.cpp
  AddInRegistration.h AddInRegistration.cpp
  ComponentAccess.h ComponentAccess.cpp
  HostTrayIcon.h HostTrayIcon.cpp
)
target_include_directories(lumora_addin PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumora_addin PUBLIC lumora_tray lumora_popup lumora_queue lumora_addin_api lumora_windowcontrol
  lumora_settings lumora_support lumora_host lumora_platform Qt6::Widgets)
lumora_warnings(lumora_addin)

add_library(LumoraAddIn MODULE AddInPlugin.h AddInPlugin.cpp)
target_link_libraries(LumoraAddIn PRIVATE lumora_addin ${CMAKE_DL_LIBS})
set_target_properties(LumoraAddIn PROPERTIES PREFIX "")
lumora_warnings(LumoraAddIn)
lumora_embed_version(LumoraAddIn VERSION 1.6.0.5 TITLE "Lumora Add-in DLL")

# Files that lie beside the library: the first-run INI template and the default sound.
foreach(_file Lumora.ini new.wav)
  add_custom_command(TARGET LumoraAddIn POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_CURRENT_SOURCE_DIR}/resources/${_file}
            $<TARGET_FILE_DIR:LumoraAddIn>/${_file})
endforeach()
