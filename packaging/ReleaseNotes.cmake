# CHANGELOG.md is the one list of releases. Its sections start "## VERSION (YYYY-MM-DD)", newest
# first, and hold "- " items whose continuation lines are indented by two spaces.

# The date of VERSION's section, which must be the newest: a version raised in project() without
# its notes stops the configuration, so the package and the metainfo never name a release that
# the changelog does not describe.
function(tavrel_release_date changelog version out)
    file(STRINGS "${changelog}" headings REGEX "^## ")
    list(GET headings 0 newest)
    if(NOT newest MATCHES "^## ([0-9.]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)$")
        message(FATAL_ERROR "${changelog}: the newest heading is not \"## VERSION (YYYY-MM-DD)\": ${newest}")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL version)
        message(FATAL_ERROR "${changelog} starts at ${CMAKE_MATCH_1}, but the project is ${version}")
    endif()
    set(${out} "${CMAKE_MATCH_2}" PARENT_SCOPE)
endfunction()

# The same releases as a Debian changelog (the package's /usr/share/doc/tavrel/changelog.gz).
function(tavrel_write_debian_changelog changelog maintainer output)
    file(STRINGS "${changelog}" lines)
    set(text "")
    set(trailer "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^## ([0-9.]+) \\(([0-9-]+)\\)$")
            set(version "${CMAKE_MATCH_1}")
            execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_2} 12:00"
                            OUTPUT_VARIABLE stamp OUTPUT_STRIP_TRAILING_WHITESPACE
                            COMMAND_ERROR_IS_FATAL ANY)
            string(APPEND text "${trailer}tavrel (${version}) unstable; urgency=medium\n\n")
            set(trailer "\n -- ${maintainer}  ${stamp}\n\n")
        elseif(line MATCHES "^- (.*)$")
            string(APPEND text "  * ${CMAKE_MATCH_1}\n")
        elseif(line MATCHES "^  (.+)$" AND NOT trailer STREQUAL "")
            string(APPEND text "    ${CMAKE_MATCH_1}\n")
        endif()
    endforeach()
    string(APPEND text "${trailer}")
    string(STRIP "${text}" text)
    # Rewritten only when it changes, so an unchanged changelog is not compressed again.
    file(WRITE "${output}.new" "${text}\n")
    file(COPY_FILE "${output}.new" "${output}" ONLY_IF_DIFFERENT)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${changelog}")
endfunction()
