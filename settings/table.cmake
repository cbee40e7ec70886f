list(APPEND SETTINGS_SOURCES SettingsTable.h SettingsTable.cpp SettingsLocation.h SettingsLocation.cpp OrderedDictionary.h)
