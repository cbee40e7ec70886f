# The .reg reader: parse, write back, parse again.
lumora_add_fuzzer(registry SOURCES RegFileFuzz.cpp LIBS lumora_platform)
