# What `cmake --install` puts where. Linux: the two programs, their man pages (written from their --help
# by help2man), the desktop entry and the icon in the hicolor theme, README, the licence and the
# notices. Windows: both programs with README, the licence and the notices, in one flat folder.
set(CMAKE_INSTALL_DOCDIR share/doc/tavro CACHE PATH "Documentation folder (share/doc/PACKAGE)")
include(GNUInstallDirs)

set(TAVRO_DOCS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
               ${PROJECT_SOURCE_DIR}/THIRD_PARTY_NOTICES.md)

if(WIN32)
    foreach(program tavro TavroModelViewer)
        if(TARGET ${program})
            install(TARGETS ${program} RUNTIME DESTINATION .)
        endif()
    endforeach()
    install(FILES ${TAVRO_DOCS} DESTINATION .)
    return()
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
foreach(program tavro tavro-viewer)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
install(FILES ${TAVRO_DOCS} DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Debian's copyright summary and changelog, where its tools look for them.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
                   COMMAND ${GZIP_PROGRAM} -9nkf ${PROJECT_BINARY_DIR}/changelog
                   DEPENDS ${PROJECT_BINARY_DIR}/changelog
                   COMMENT "Compressing the changelog")
add_custom_target(tavro-changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET tavro-viewer)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/tavro-viewer.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The icon at the theme's usual sizes, drawn from the same artwork as the window's.
    add_executable(tavro-write-icon-png ${PROJECT_SOURCE_DIR}/app/WriteIconPng.cpp
                                        ${PROJECT_SOURCE_DIR}/app/AppIcon.cpp)
    target_link_libraries(tavro-write-icon-png PRIVATE tavro_settings)
    set(icons)
    foreach(size 16 32 48 256)
        set(icon ${PROJECT_BINARY_DIR}/icons/${size}x${size}/tavro-viewer.png)
        add_custom_command(OUTPUT ${icon}
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
                           COMMAND tavro-write-icon-png ${size} ${icon}
                           DEPENDS tavro-write-icon-png
                           COMMENT "Drawing the ${size} px icon"
                           VERBATIM)
        list(APPEND icons ${icon})
        install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(tavro-icons ALL DEPENDS ${icons})
endif()

# Man pages from the programs' own --help and --version, compressed as Debian wants them.
find_program(HELP2MAN_PROGRAM help2man)
if(HELP2MAN_PROGRAM)
    set(man_pages)
    foreach(program tavro tavro-viewer)
        if(NOT TARGET ${program})
            continue()
        endif()
        if(program STREQUAL "tavro")
            set(summary "inspect, extract, convert and render the contents of packed game data archives")
        else()
            set(summary "show the 3D models of a packed game data archive, one after another")
        endif()
        set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
        add_custom_command(OUTPUT ${page}.gz
                           COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                           COMMAND ${HELP2MAN_PROGRAM} --no-info --no-discard-stderr --name ${summary}
                                   --output ${page} $<TARGET_FILE:${program}>
                           COMMAND ${GZIP_PROGRAM} -9nf ${page}
                           DEPENDS ${program}
                           COMMENT "Writing the man page of ${program}"
                           VERBATIM)
        list(APPEND man_pages ${page}.gz)
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
    add_custom_target(tavro-man-pages ALL DEPENDS ${man_pages})
else()
    message(WARNING "help2man is missing (scripts/install-deps.sh installs it): no man pages are built")
endif()
