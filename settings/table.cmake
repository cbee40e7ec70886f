list(APPEND SETTINGS_SOURCES SettingsTable.h SettingsTable.cpp OrderedDictionary.h)
