# Plugin libraries the factory tests load: one of the current contract, one of an older one.
add_library(component_test_plugin MODULE ComponentTestPlugin.cpp)
target_link_libraries(component_test_plugin PRIVATE Qt6::Core lumora_platform lumora_host)
lumora_warnings(component_test_plugin)
add_library(component_old_plugin MODULE ComponentOldPlugin.cpp)
target_link_libraries(component_old_plugin PRIVATE Qt6::Core)
lumora_warnings(component_old_plugin)

lumora_add_test(host_components_tests
  SOURCES LoggingTest.cpp SafeMailTest.cpp ComponentFactoryTest.cpp
  LIBS lumora_host lumora_host_memory)
add_dependencies(host_components_tests component_test_plugin component_old_plugin)
target_compile_definitions(host_components_tests PRIVATE
  LUMORA_TEST_PLUGIN="$<TARGET_FILE:component_test_plugin>"
  LUMORA_OLD_PLUGIN="$<TARGET_FILE:component_old_plugin>"
  LUMORA_NON_PLUGIN_LIBRARY="$<TARGET_FILE:lumora_platform>")
