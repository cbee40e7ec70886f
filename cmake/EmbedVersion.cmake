# Gives a plugin library its version resource. A shared object has no resource directory,
# so mkverpe writes a resource-only PE image and objcopy adds it to the library as the
# section ".lumora_version" (ElfImage::VersionSectionName), where the version reader
# looks for it: the About box then reads the library's own file like any program file.
function(lumora_embed_version target)
  cmake_parse_arguments(V "" "VERSION;TITLE" "" ${ARGN})
  if(NOT V_VERSION)
    set(V_VERSION ${LUMORA_RESOURCE_VERSION})
  endif()
  if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy is needed to give ${target} its version resource")
  endif()
  set(_image ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.pe)
  string(REPLACE "." ";" _parts ${V_VERSION})
  list(GET _parts 0 _major)
  list(GET _parts 1 _minor)
  list(GET _parts 3 _revision)
  add_custom_command(
    OUTPUT ${_image}
    COMMAND mkverpe -o ${_image}
            --file-version ${V_VERSION}
            --type 2
            --translation 0409/04B0
            --string "CompanyName=Corvane Software"
            --string "FileDescription=${V_TITLE}"
            --string "FileVersion=${_major}.${_minor}.${_revision}"
            --string "InternalName=${target}"
            --string "LegalCopyright=Copyright (C) Corvane Software"
            --string "OriginalFilename=${target}.so"
            --string "ProductName=Lumora"
            --string "ProductVersion=${_major}.${_minor}.${_revision}"
    DEPENDS mkverpe
    COMMENT "Writing the version resource of ${target}"
    VERBATIM)
  add_custom_target(${target}_version DEPENDS ${_image})
  add_dependencies(${target} ${target}_version)
  # A new image relinks the library, and only a fresh link is given the section.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${_image})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --add-section .lumora_version=${_image} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
