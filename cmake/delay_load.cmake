# ph_delay_load(target lib...): the target calls these system libraries
# through delay-loaded imports, so each is loaded when its first function is
# called instead of when the program starts (under Wine every library
# loaded at start costs server round trips before the first window). The
# load goes through LoadLibrary, which the setup restricts to the system
# folder before anything else runs. cmake/delay_load/<lib>.def lists the
# functions taken this way; any other function of the library still comes
# through its ordinary import library, later on the link line.
find_program(PH_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
# dlltool names the archive's members and symbols after the output path:
# it runs in the archive's folder with a relative name, so every build
# folder makes the same bytes.
function(ph_delay_load target)
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delay_load)
    foreach(lib ${ARGN})
        set(def ${CMAKE_SOURCE_DIR}/cmake/delay_load/${lib}.def)
        set(archive ${CMAKE_BINARY_DIR}/delay_load/lib${lib}_delay.a)
        add_custom_command(OUTPUT ${archive}
            COMMAND ${PH_DLLTOOL} --input-def ${def} --dllname ${lib}.dll
                    --output-delaylib lib${lib}_delay.a
            WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/delay_load
            DEPENDS ${def}
            COMMENT "Delay-load library for ${lib}.dll")
        add_custom_target(ph_delay_${lib}_${target} DEPENDS ${archive})
        add_dependencies(${target} ph_delay_${lib}_${target})
        target_link_libraries(${target} PRIVATE ${archive})
    endforeach()
endfunction()
