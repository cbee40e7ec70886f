lumora_add_test(platform_registry_tests
  SOURCES RegistryFileTest.cpp RegistryStoreTest.cpp
  LIBS lumora_platform)
