# Resources compiled into the executable: manifest, version, icon and the
# hover button images (as RCDATA).
set(TIKO_RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/assets/TikoClock.rc)
if(NOT EXISTS ${TIKO_RESOURCE_SCRIPT})
    set(TIKO_RESOURCE_SCRIPT "")
endif()
