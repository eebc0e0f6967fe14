# Resources compiled into the executable: every resource script in assets/
# (the program's icon, manifest and version in TikoClock.rc, and any other
# script placed beside it).
#
# A script names its files relative to its own directory: windres looks
# for them along the include path, so assets/ is put on it. The scripts do
# not tell CMake what they read, so every other file in assets/ is made a
# dependency of each script.
file(GLOB TIKO_RESOURCE_SCRIPT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*.rc)
file(GLOB TIKO_RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*)
list(FILTER TIKO_RESOURCE_FILES EXCLUDE REGEX "\\.rc$")
foreach(script IN LISTS TIKO_RESOURCE_SCRIPT)
    set_property(SOURCE ${script} APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/assets)
    set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${TIKO_RESOURCE_FILES})
endforeach()
