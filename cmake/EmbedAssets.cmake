# The hover buttons' PNG images, compiled into tiko_core as byte arrays so
# that the program and every test linking the library carry them.
#
# Included from the top-level CMakeLists.txt after tiko_core exists, this
# file adds the build rule; run by that rule with cmake -P, it writes
# generated/EmbeddedAssets.h and .cpp. Each assets/NAME-PART.png becomes
# std::span<const std::uint8_t> embedded::namePartPng.

if(CMAKE_SCRIPT_MODE_FILE)
    # Script mode: INPUTS (;-separated PNG paths), HEADER and SOURCE.
    string(REPLACE "|" ";" inputs "${INPUTS}")
    set(header "// Generated from assets/*.png by cmake/EmbedAssets.cmake.\n#pragma once\n\n")
    string(APPEND header "#include <array>\n#include <cstdint>\n#include <span>\n#include <string_view>\n\n")
    string(APPEND header "namespace embedded {\n\n")
    set(source "// Generated from assets/*.png by cmake/EmbedAssets.cmake.\n#include \"EmbeddedAssets.h\"\n\n")
    string(APPEND source "namespace embedded {\nnamespace {\n\n")
    set(definitions "")
    set(table "")
    list(LENGTH inputs count)
    foreach(input IN LISTS inputs)
        get_filename_component(fileName "${input}" NAME)
        get_filename_component(stem "${input}" NAME_WE)
        # close-hover -> closeHoverPng
        string(REPLACE "-" ";" parts "${stem}")
        set(name "")
        foreach(part IN LISTS parts)
            if(name STREQUAL "")
                set(name "${part}")
            else()
                string(SUBSTRING "${part}" 0 1 first)
                string(SUBSTRING "${part}" 1 -1 rest)
                string(TOUPPER "${first}" first)
                string(APPEND name "${first}${rest}")
            endif()
        endforeach()
        string(APPEND name "Png")

        file(READ "${input}" hex HEX)
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
        # Sixteen bytes a line (CMake's expressions have no counted repeats).
        string(REPEAT "0x..," 16 line)
        string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
        string(REGEX REPLACE "\n    $" "" bytes "${bytes}")
        string(APPEND source "constexpr std::uint8_t ${name}Bytes[] = {\n    ${bytes}\n};\n\n")
        string(APPEND header "extern const std::span<const std::uint8_t> ${name}; // ${fileName}\n")
        string(APPEND definitions "const std::span<const std::uint8_t> ${name}{${name}Bytes};\n")
        string(APPEND table "    EmbeddedAsset{\"${fileName}\", ${name}Bytes},\n")
    endforeach()
    string(APPEND header "\nstruct EmbeddedAsset {\n    std::string_view fileName;\n")
    string(APPEND header "    std::span<const std::uint8_t> bytes;\n};\n\n")
    string(APPEND header "// Every embedded file, in file-name order.\n")
    string(APPEND header "extern const std::array<EmbeddedAsset, ${count}> allAssets;\n\n} // namespace embedded\n")
    string(APPEND source "} // namespace\n\n${definitions}\n")
    string(APPEND source "const std::array<EmbeddedAsset, ${count}> allAssets{{\n${table}}};\n\n} // namespace embedded\n")

    file(WRITE "${HEADER}" "${header}")
    file(WRITE "${SOURCE}" "${source}")
    return()
endif()

file(GLOB TIKO_ASSET_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/assets/*.png)
list(SORT TIKO_ASSET_IMAGES)
set(TIKO_EMBEDDED_HEADER ${CMAKE_BINARY_DIR}/generated/EmbeddedAssets.h)
set(TIKO_EMBEDDED_SOURCE ${CMAKE_BINARY_DIR}/generated/EmbeddedAssets.cpp)
# A list separator that survives the command line.
string(REPLACE ";" "|" tiko_asset_inputs "${TIKO_ASSET_IMAGES}")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/generated)
add_custom_command(
    OUTPUT ${TIKO_EMBEDDED_HEADER} ${TIKO_EMBEDDED_SOURCE}
    COMMAND ${CMAKE_COMMAND} "-DINPUTS=${tiko_asset_inputs}" -DHEADER=${TIKO_EMBEDDED_HEADER}
            -DSOURCE=${TIKO_EMBEDDED_SOURCE} -P ${CMAKE_CURRENT_LIST_FILE}
    DEPENDS ${TIKO_ASSET_IMAGES} ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Embedding the button images"
    VERBATIM)
target_sources(tiko_core PRIVATE ${TIKO_EMBEDDED_HEADER} ${TIKO_EMBEDDED_SOURCE})
