# Lays beside the programs of a cross-build for Windows all they need to run on a Windows
# machine with nothing installed: the Qt libraries, the platform, image-format and style
# plugins, the TLS plugin, the toolkit's translations and the MinGW-w64 runtime libraries.

# brinmor_windows_runtime(<target> <folder> QT_MODULES <modules...>)
function(brinmor_windows_runtime target folder)
    cmake_parse_arguments(ARG "" "" "QT_MODULES" ${ARGN})

    set(libraries)
    foreach(module IN LISTS ARG_QT_MODULES)
        list(APPEND libraries $<TARGET_FILE:Qt6::${module}>)
    endforeach()
    foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
            message(FATAL_ERROR "The compiler does not ship ${runtime}")
        endif()
        list(APPEND libraries ${path})
    endforeach()

    # The offscreen platform serves the tests; the windows platform the program.
    set(plugins
        platforms Qt6::QWindowsIntegrationPlugin
        platforms Qt6::QOffscreenIntegrationPlugin
        imageformats Qt6::QICOPlugin
        styles Qt6::QWindowsVistaStylePlugin)
    # HTTPS for RDAP through Windows' own TLS; nothing imports the plugin, so it is named here.
    if(TARGET Qt6::QSchannelBackendPlugin)
        list(APPEND plugins tls Qt6::QSchannelBackendPlugin)
    endif()
    set(commands)
    while(plugins)
        list(POP_FRONT plugins kind plugin)
        list(APPEND commands
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/${kind}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${plugin}> ${folder}/${kind})
    endwhile()

    # The toolkit's own texts come from the build machine's Qt of the same version.
    set(BRINMOR_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH
        "Folder of the toolkit's translations (qtbase_*.qm) to lay beside the Windows program")
    file(GLOB translations ${BRINMOR_QT_TRANSLATIONS}/qtbase_*.qm)
    if(translations)
        list(APPEND commands
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/translations
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${translations} ${folder}/translations)
    endif()

    add_custom_target(${target} ALL
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${libraries} ${folder}
        ${commands}
        COMMENT "Laying the Windows runtime beside the programs"
        VERBATIM)
endfunction()
