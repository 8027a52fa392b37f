# What every installed part shares. Two install components, one Debian package each: "game"
# (kivra: the game, its data and desktop integration; the default) and "plugin" (vantor: the
# JPEG reader plug-in and the host that reads pictures through it).
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME game)

# Installs the manual page `page` (a file of the build or source tree) into section `section`
# of `component`, compressed reproducibly (no name or time stamp in the gzip header).
function(kivra_install_man page section component)
  get_filename_component(name ${page} NAME)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND sh -c "gzip -9nc '${page}' > '${gz}'"
    DEPENDS ${page} COMMENT "Compressing the manual page ${name}" VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endfunction()

# Each package's documents: the licence and the release notes, and for the game the
# third-party material its generated data draws on. A distribution's packaging turns this off
# and installs them its own way (debian/rules: the copyright file and change logs).
option(KIVRA_INSTALL_DOCS "Install the licence, NOTICE and release notes" ON)
if(KIVRA_INSTALL_DOCS)
  set(docs ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/NEWS.md)
  install(FILES ${docs} ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kivra
          COMPONENT game)
  install(FILES ${docs} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantor COMPONENT plugin)
endif()
