# The host's pieces, in a library the tests link too, and the lumora executable.
add_library(lumora_app STATIC
  HostApplication.h HostApplication.cpp
  OptionsDialog.h OptionsDialog.cpp
  HostSettings.h HostSettings.cpp
  HostOptionsPage.h HostOptionsPage.cpp
  OptionsPageSite.h OptionsPageSite.cpp
  OptionsTestDriver.h OptionsTestDriver.cpp
  SingleInstance.h SingleInstance.cpp
  SignalWatcher.h SignalWatcher.cpp
  DemoMail.h DemoMail.cpp
)
target_include_directories(lumora_app PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumora_app PUBLIC lumora_host_memory lumora_host_maildir lumora_settings lumora_host
  lumora_platform Qt6::Widgets Qt6::Network)
lumora_warnings(lumora_app)

add_executable(lumora main.cpp)
target_link_libraries(lumora PRIVATE lumora_app)
lumora_warnings(lumora)
# The plugins and the program file are part of what `lumora` needs to run.
add_dependencies(lumora LumoraAddIn LumoraProps host_program_file)
