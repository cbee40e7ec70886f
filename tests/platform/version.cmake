# PE walk, VS_VERSIONINFO parser and the version-resource calls.
lumora_add_test(platform_version_tests
  SOURCES PeImageTest.cpp VersionInfoTest.cpp ElfImageTest.cpp
  LIBS lumora_platform lumora_pewriter)
