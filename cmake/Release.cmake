# The program to ship: optimised for size, stripped, with its debug
# information in a file beside it, and the same bytes from every build of one
# commit wherever the sources and the build tree lie.
add_compile_options(-g -ffunction-sections -fdata-sections
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
    -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
add_link_options(-Wl,--gc-sections)
if(WIN32)
    # No link time in the PE header.
    add_link_options(-Wl,--no-insert-timestamp)
endif()
# The time that objcopy writes into a PE header: the one the environment
# gives for the sources, else none.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(source_date_epoch $ENV{SOURCE_DATE_EPOCH})
else()
    set(source_date_epoch 0)
endif()

# Moves the debug information of a program into NAME.debug beside it and
# leaves the program stripped, pointing at that file by name.
function(ship_program name)
    set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${source_date_epoch} ${CMAKE_OBJCOPY})
    add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE_NAME:${name}> ${name}.debug
        COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${name}.debug
                $<TARGET_FILE_NAME:${name}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>
        VERBATIM)
endfunction()
