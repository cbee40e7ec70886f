lumora_add_test(platform_registry_tests
  SOURCES RegistryFileTest.cpp RegistryStoreTest.cpp StoreFaultTest.cpp
  LIBS lumora_platform)
