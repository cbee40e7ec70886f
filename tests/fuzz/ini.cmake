lumora_add_fuzzer(ini SOURCES IniFuzz.cpp LIBS lumora_platform)
