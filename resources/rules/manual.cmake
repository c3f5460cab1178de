# The user manuals, one PDF per language, made at build time from the Markdown
# texts in resources/manual. Each file is named by its language's "ApplicationMessage8"
# text, which is what the help window opens.
find_package(Qt6 6.4 REQUIRED COMPONENTS Gui)

add_executable(talvoren_manualpdfwriter ${CMAKE_CURRENT_SOURCE_DIR}/manual/manualpdfwriter.cpp)
target_link_libraries(talvoren_manualpdfwriter PRIVATE Qt6::Gui)
talvoren_strict(talvoren_manualpdfwriter)

set(manual_pdfs)
foreach(language IN ITEMS en ja)
    set(translation_file ${CMAKE_CURRENT_SOURCE_DIR}/translations/talvoren_${language}.ts)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${translation_file})
    file(READ ${translation_file} translations)
    string(REGEX MATCH "<message id=\"ApplicationMessage8\">[^<]*<source>[^<]*</source>[^<]*<translation>([^<]*)</translation>"
        manual_message "${translations}")
    set(manual_name "${CMAKE_MATCH_1}")
    if(NOT manual_name)
        message(FATAL_ERROR "${translation_file} has no translation of ApplicationMessage8")
    endif()
    set(manual_source ${CMAKE_CURRENT_SOURCE_DIR}/manual/manual-${language}.md)
    set(manual_pdf ${TALVOREN_RESOURCE_DIR}/${manual_name})
    # Offscreen: the build needs no display. Leak checks are off for this build
    # tool: fontconfig keeps its caches until exit.
    add_custom_command(OUTPUT ${manual_pdf}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TALVOREN_RESOURCE_DIR}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                $<TARGET_FILE:talvoren_manualpdfwriter> ${manual_source} ${manual_pdf}
        DEPENDS talvoren_manualpdfwriter ${manual_source}
        COMMENT "Writing the ${language} manual ${manual_name}"
        VERBATIM)
    list(APPEND manual_pdfs ${manual_pdf})
endforeach()
add_custom_target(talvoren_manuals DEPENDS ${manual_pdfs})
add_dependencies(talvoren_resources talvoren_manuals)
