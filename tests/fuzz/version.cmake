# PE images and version resources from untrusted files.
lumora_add_fuzzer(version SOURCES VersionFuzz.cpp LIBS lumora_platform)
