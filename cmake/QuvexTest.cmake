# quvex_add_test(name SOURCES ... LIBS ...): one Qt Test executable, registered with CTest in an
# environment of its own: the offscreen platform, temporary HOME and XDG folders, so no test
# sees or changes the developer's desktop, and a fixed locale, so system error texts compare.
function(quvex_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test quvex_testsupport ${ARG_LIBS})
    set(home ${CMAKE_CURRENT_BINARY_DIR}/home/${name})
    add_test(NAME ${name}
        COMMAND ${CMAKE_COMMAND} -E env
            --unset=LC_ALL --unset=LC_MESSAGES --unset=LANGUAGE
            LANG=C.UTF-8
            QT_QPA_PLATFORM=offscreen
            HOME=${home}
            XDG_CONFIG_HOME=${home}/.config
            XDG_DATA_HOME=${home}/.local/share
            XDG_CACHE_HOME=${home}/.cache
            XDG_RUNTIME_DIR=${home}/runtime
            ${ARG_ENVIRONMENT}
            ${CMAKE_COMMAND} -DHOME=${home} -DPROGRAM=$<TARGET_FILE:${name}>
                -P ${CMAKE_SOURCE_DIR}/cmake/RunInFreshHome.cmake)
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
