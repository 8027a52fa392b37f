# What every installed part shares: manual pages, compressed as a package carries them, and
# the package's documents.
include(GNUInstallDirs)

# Installs the manual page `page` (a file of the build or source tree) into section `section`,
# compressed reproducibly (no name or time stamp in the gzip header).
function(kivra_install_man page section)
  get_filename_component(name ${page} NAME)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND sh -c "gzip -9nc '${page}' > '${gz}'"
    DEPENDS ${page} COMMENT "Compressing the manual page ${name}" VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()

# The copyright file, the change log (compressed) and the notice of third-party material.
set(KIVRA_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kivra)
set(changelog_gz ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND sh -c "gzip -9nc '${PROJECT_SOURCE_DIR}/packaging/changelog' > '${changelog_gz}'"
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(kivra_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/NOTICE
        ${changelog_gz} DESTINATION ${KIVRA_DOCDIR})
