# tiko_delay_load(TARGET DLL LIBRARY): TARGET imports DLL's functions as
# usual, but the DLL is loaded at the first call instead of at the start,
# with the search directories the process has set by then. LIBRARY names
# the toolchain's import library for DLL (gdiplus for gdiplus.dll).
#
# MinGW: a delay-load import library made by the toolchain's own dlltool
# from the names in its import library (mingwex has the delay-load helper).
# LLD (the Clang build) would put that library's tables in read-only memory,
# where the first call's write fails: it gets an import library in LLVM's
# form and makes the tables itself (--delayload). MSVC: the linker's
# /DELAYLOAD.
function(tiko_delay_load target dll library)
    if(MSVC)
        target_link_libraries(${target} PRIVATE ${library} delayimp)
        target_link_options(${target} PRIVATE /DELAYLOAD:${dll})
        return()
    endif()
    set(output ${CMAKE_BINARY_DIR}/delay-load/lib${library}-delay.a)
    # A second program delay-loading the same DLL links the same library.
    if(NOT TARGET ${library}_delay_load)
        tiko_add_delay_load_library(${dll} ${library} ${output})
    endif()
    add_dependencies(${target} ${library}_delay_load)
    target_link_libraries(${target} PRIVATE ${output})
    if(CMAKE_EXE_LINKER_FLAGS MATCHES "-fuse-ld=lld")
        target_link_options(${target} PRIVATE -Wl,--delayload=${dll})
    endif()
endfunction()

# The import library OUTPUT that delay-loads DLL, and the target making it,
# LIBRARY_delay_load.
function(tiko_add_delay_load_library dll library output)
    if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
        message(FATAL_ERROR "dlltool and nm are needed to delay-load ${dll}")
    endif()
    find_library(TIKO_IMPORT_LIBRARY_${library} NAMES lib${library}.a ${library} REQUIRED)
    set(import ${TIKO_IMPORT_LIBRARY_${library}})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${import})

    # Every function the import library names, as a module definition.
    execute_process(COMMAND ${CMAKE_NM} --defined-only ${import} OUTPUT_VARIABLE symbols
                    COMMAND_ERROR_IS_FATAL ANY)
    # 32-bit names carry one more leading underscore and an @N suffix, which
    # the DLL's own export names lack (--kill-at).
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(prefix "__imp__")
    else()
        set(prefix "__imp_")
    endif()
    string(REGEX MATCHALL " I ${prefix}[A-Za-z0-9_@]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I ${prefix}" "")
    list(REMOVE_DUPLICATES imports)
    if(NOT imports)
        message(FATAL_ERROR "no functions found in ${import}")
    endif()
    list(JOIN imports "\n" names)
    set(delay ${CMAKE_BINARY_DIR}/delay-load)
    file(CONFIGURE OUTPUT ${delay}/${library}.def CONTENT "LIBRARY ${dll}\nEXPORTS\n${names}\n" @ONLY)

    if(CMAKE_EXE_LINKER_FLAGS MATCHES "-fuse-ld=lld")
        if(CMAKE_SIZEOF_VOID_P EQUAL 4)
            set(machine i386)
        else()
            set(machine i386:x86-64)
        endif()
        set(make -m ${machine} -d ${delay}/${library}.def -D ${dll} -k -l ${output})
    else()
        set(make --input-def ${delay}/${library}.def --dllname ${dll} --kill-at --output-delaylib ${output})
    endif()
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_DLLTOOL} ${make}
        DEPENDS ${delay}/${library}.def
        COMMENT "Delay-load import library for ${dll}"
        VERBATIM)
    add_custom_target(${library}_delay_load DEPENDS ${output})
endfunction()
