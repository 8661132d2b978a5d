# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer: chunkpicker-<version>.msi in the build folder, made
# with wixl (Debian's wixl and msitools) from packaging/windows/chunkpicker.wxs.in
# by the target chunkpicker-msi, which the default build leaves alone.
find_program(CP_WIXL wixl)
find_program(CP_MSIBUILD msibuild)
if(NOT CP_WIXL OR NOT CP_MSIBUILD)
    message(STATUS "No wixl or msibuild (Debian's wixl, msitools): no target chunkpicker-msi")
    return()
endif()

# The file an executable target makes, by name, as "${out}"; empty if it is not an executable.
function(cp_program_file_name target out)
    set(${out} "" PARENT_SCOPE)
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "EXECUTABLE")
        return()
    endif()
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
        set(name ${target})
    endif()
    get_target_property(suffix ${target} SUFFIX)
    if(NOT suffix)
        set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
    endif()
    set(${out} "${name}${suffix}" PARENT_SCOPE)
endfunction()

# Runs once the whole folder is read, so that it sees every target, however
# late it is added.
function(cp_add_windows_installer)
    set(stage ${CMAKE_BINARY_DIR}/msi)
    set(msi ${CMAKE_BINARY_DIR}/chunkpicker-${PROJECT_VERSION}.msi)
    # Each program is the file of the target that makes it; one that no target
    # makes is taken as it lies in the build folder, where one may be put by hand.
    get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
    set(copies)
    set(depends)
    foreach(program chunkpicker.exe chunkpicker.com chunkpicker-info.exe chunkpicker-extract.exe)
        set(source ${CMAKE_BINARY_DIR}/${program})
        foreach(target IN LISTS targets)
            cp_program_file_name(${target} made)
            if(made STREQUAL program)
                set(source $<TARGET_FILE:${target}>)
                list(APPEND depends ${target})
            endif()
        endforeach()
        list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${source} ${stage}/${program})
        list(APPEND depends ${source})
    endforeach()

    configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/chunkpicker.wxs.in ${stage}/chunkpicker.wxs @ONLY)
    # Windows' own line ends, so that every editor there shows the licence as lines.
    configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
    configure_file(${CMAKE_SOURCE_DIR}/resources/windows/chunkpicker.ico ${stage}/chunkpicker.ico COPYONLY)
    # Tables added to what wixl makes. wixl leaves the database's code page at
    # 0, under which Windows would read the verb's "Ö" in whatever ANSI code
    # page the system has; wixl wrote it in Windows-1252, so the database says
    # so. And wixl knows no Environment element: the user's PATH gets the
    # program's folder appended ([~];) as chunkpicker.com's, and loses it
    # again with it (-), so that "chunkpicker Quelle Ziel" works in any console.
    file(CONFIGURE OUTPUT ${stage}/_ForceCodepage.idt CONTENT "\n\n1252\t_ForceCodepage\n" NEWLINE_STYLE CRLF)
    file(CONFIGURE OUTPUT ${stage}/Environment.idt NEWLINE_STYLE CRLF CONTENT
         "Environment\tName\tValue\tComponent_\ns72\tl255\tL255\ts72\nEnvironment\tEnvironment\n\
PathEntry\t=-Path\t[~];[INSTALLDIR]\tConsole\n")

    # Built beside its final name and renamed once complete.
    add_custom_command(OUTPUT ${msi}
        ${copies}
        COMMAND ${CP_WIXL} --arch x64 --output ${msi}.part chunkpicker.wxs
        COMMAND ${CP_MSIBUILD} ${msi}.part -i _ForceCodepage.idt -i Environment.idt
        COMMAND ${CMAKE_COMMAND} -E rename ${msi}.part ${msi}
        DEPENDS ${depends} ${stage}/chunkpicker.wxs ${stage}/LICENSE.txt ${stage}/chunkpicker.ico
                ${stage}/_ForceCodepage.idt ${stage}/Environment.idt
        WORKING_DIRECTORY ${stage}
        COMMENT "Building chunkpicker-${PROJECT_VERSION}.msi"
        VERBATIM)
    add_custom_target(chunkpicker-msi DEPENDS ${msi})
endfunction()
cmake_language(DEFER CALL cp_add_windows_installer)
