# The lumora host executable.
add_executable(lumora
  main.cpp
  HostApplication.h HostApplication.cpp
  SingleInstance.h SingleInstance.cpp
  SignalWatcher.h SignalWatcher.cpp
  DemoMail.h DemoMail.cpp
  MailClientIdentity.h MailClientIdentity.cpp
  SysInfoRegistration.h SysInfoRegistration.cpp
)
target_include_directories(lumora PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(lumora PRIVATE lumora_host_memory lumora_host_maildir lumora_settings lumora_host lumora_platform
  Qt6::Widgets Qt6::Network)
lumora_warnings(lumora)
# The add-in plugin and the program file are part of what `lumora` needs to run.
add_dependencies(lumora LumoraAddIn host_program_file)
