# Checks that the translations hold every text the sources mark, each translated: lupdate is run
# over the sources into copies of the .ts files, which must then come out the same as the
# committed ones and with nothing left unfinished.
# cmake -DLUPDATE=... -DLRELEASE=... -DSOURCE_DIR=... -DWORK_DIR=... -P translations_complete.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB sources
     ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h
     ${SOURCE_DIR}/records/*.cpp ${SOURCE_DIR}/records/*.h
     ${SOURCE_DIR}/link/*.cpp ${SOURCE_DIR}/link/*.h
     ${SOURCE_DIR}/files/*.cpp ${SOURCE_DIR}/files/*.h)
set(options -tr-function-alias QT_TR_NOOP+=TAVREL_TEXT -no-obsolete -locations none -silent)
set(failed FALSE)
foreach(language de en)
    set(committed ${SOURCE_DIR}/app/translations/tavrel_${language}.ts)
    set(copy ${WORK_DIR}/tavrel_${language}.ts)
    file(COPY_FILE ${committed} ${copy})
    set(extra)
    if(language STREQUAL "en")
        set(extra -pluralonly)
    endif()
    execute_process(COMMAND ${LUPDATE} ${options} ${extra} ${sources} -ts ${copy}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(SEND_ERROR "lupdate failed on tavrel_${language}.ts")
    endif()
    file(READ ${committed} before)
    file(READ ${copy} after)
    if(NOT before STREQUAL after)
        message(SEND_ERROR "tavrel_${language}.ts is not up to date with the sources: build the "
                           "update_translations target and translate what it adds")
    endif()
    execute_process(COMMAND ${LRELEASE} ${copy} -qm ${WORK_DIR}/tavrel_${language}.qm
                    OUTPUT_VARIABLE report ERROR_VARIABLE report)
    if(NOT report MATCHES " 0 unfinished" OR report MATCHES "untranslated")
        message(SEND_ERROR "tavrel_${language}.ts has texts left to translate:\n${report}")
    endif()
endforeach()
