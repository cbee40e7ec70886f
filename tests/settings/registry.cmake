lumora_add_test(settings_registry_tests
  SOURCES ModRegistryTest.cpp
  LIBS lumora_settings)
