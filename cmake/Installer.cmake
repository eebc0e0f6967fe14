# The Windows Installer package, built with wixl from installer/TikoClock.wxs
# with every build: TikoClock-<version>-x64.msi in the build directory
# (target TikoClockMsi), holding what the ZIP holds. Skipped where there is no wixl
# (a native Windows build).
#
# tiko_add_msi(TARGET PROGRAM VERSION OUTPUT): a target that builds the
# package of the executable target PROGRAM, as product version VERSION, into
# OUTPUT.
find_program(TIKO_WIXL wixl)
if(NOT TIKO_WIXL)
    message(STATUS "No wixl: the MSI package is not built")
endif()

function(tiko_add_msi target program version output)
    if(NOT TIKO_WIXL)
        return()
    endif()
    # The product code follows the version: the same version built again is
    # the same product, never a second entry in Programs and Features.
    string(UUID product NAMESPACE A02E5EAE-763F-4A24-AD5F-7FA8317DD0E1 NAME "Tiko Clock ${version}"
           TYPE SHA1 UPPER)
    # wixl finds its files by relative names only: they are gathered in one
    # folder, its working directory.
    set(files ${CMAKE_CURRENT_BINARY_DIR}/${target}-files)
    file(MAKE_DIRECTORY ${files}/docs)
    file(GLOB screenshots CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.png)
    # The README's screenshots, whatever they are: one File each, included
    # by the package's source.
    set(entries "")
    foreach(screenshot IN LISTS screenshots)
        get_filename_component(name ${screenshot} NAME)
        string(REPLACE "-" "_" id ${name})
        string(APPEND entries "  <File Id=\"${id}\" Source=\"docs/${name}\"/>\n")
    endforeach()
    file(CONFIGURE OUTPUT ${files}/Screenshots.wxi CONTENT "<?xml version=\"1.0\" encoding=\"utf-8\"?>
<Include>\n${entries}</Include>\n" @ONLY)
    set(documents ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/assets/TikoClock.ico)
    set(source ${CMAKE_SOURCE_DIR}/installer/TikoClock.wxs)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${program}> ${files}/TikoClock.exe
        COMMAND ${CMAKE_COMMAND} -E copy ${documents} ${files}
        COMMAND ${CMAKE_COMMAND} -E copy ${screenshots} ${files}/docs
        COMMAND ${TIKO_WIXL} -a x64 -D Version=${version} -D ProductCode=${product} -o ${output} ${source}
        WORKING_DIRECTORY ${files}
        DEPENDS ${program} ${source} ${documents} ${screenshots} ${files}/Screenshots.wxi
        COMMENT "Building ${output}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

tiko_add_msi(TikoClockMsi TikoClock ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/TikoClock-${PROJECT_VERSION}-x64.msi)
