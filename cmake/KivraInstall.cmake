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

# Each package's copyright file and change log (compressed), from packaging/<package>/.
function(kivra_install_package_docs package component)
  set(dir ${PROJECT_SOURCE_DIR}/packaging/${package})
  set(gz ${PROJECT_BINARY_DIR}/packaging/${package}/changelog.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/${package}
    COMMAND sh -c "gzip -9nc '${dir}/changelog' > '${gz}'"
    DEPENDS ${dir}/changelog VERBATIM)
  add_custom_target(${package}_changelog ALL DEPENDS ${gz})
  install(FILES ${dir}/copyright ${gz} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
          COMPONENT ${component})
endfunction()

kivra_install_package_docs(kivra game)
kivra_install_package_docs(vantor plugin)
# The third-party material the game's generated data draws on.
install(FILES ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kivra
        COMPONENT game)
